<?php
echo $also_undefined;
