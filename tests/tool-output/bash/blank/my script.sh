echo "open
