#!/bin/sh
for f in $(ls *.txt); do
  echo $f
done
[ $count == 3 ] && echo three
