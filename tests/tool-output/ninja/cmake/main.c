#include <stdio.h>
int main(void)
{
    int unused;
    printf("%d\n", missing_value);
    return 0;
}
