alpha beta	gamma delta
last word 
