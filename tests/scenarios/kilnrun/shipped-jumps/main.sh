#!/bin/bash
count=3
if [ "$count" -gt 2 ]; then
  echo "many"
fi
for f in *.txt; do
  echo "$f"
fi
