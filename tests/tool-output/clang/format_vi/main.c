#include <stdio.h>
#include "sub/util.h"

static int unused_counter;

int total(int count)
{
    int sum = 0;
    for (int i = 0; i < count; i++)
        sum += i;
    const char *name = 42;
    printf("%d\n", sum);
    return sum + missing_value;
}
