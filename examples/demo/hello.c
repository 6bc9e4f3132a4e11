#include <stdio.h>

/* Kilnrun's demo: this file has a typing error for the compiler to find. */
int main(void)
{
    int count = 3;
    printf("%d apples\n", cuont);
    return 0;
}
