/* other */
int other;
