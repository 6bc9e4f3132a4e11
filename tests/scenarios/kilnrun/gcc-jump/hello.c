#include <stdio.h>

int main(void)
{
    printf("%d\n", count);
    return 0;
}
