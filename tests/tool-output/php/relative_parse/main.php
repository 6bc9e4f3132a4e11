<?php
function f( {
