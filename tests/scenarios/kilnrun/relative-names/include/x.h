/* x */
#define X 1
#define Y 2
