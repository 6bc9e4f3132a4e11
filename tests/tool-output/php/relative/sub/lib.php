<?php
function parse_number($text) {
    if (!is_numeric($text)) {
        throw new InvalidArgumentException("not a number: $text");
    }
    return (int)$text;
}
