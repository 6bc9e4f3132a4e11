<?php
require __DIR__ . '/sub/lib.php';
require 'sub/lib2.php';
echo $undefined_here;
echo parse_number("x");
