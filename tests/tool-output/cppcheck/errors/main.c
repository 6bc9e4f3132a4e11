#include <stdlib.h>
#include "sub/util.h"

int main(void)
{
    int values[3] = {1, 2, 3};
    char *buffer = malloc(16);
    int unused_total = 0;
    values[3] = twice(values[0]);
    if (values[0] == values[0]) unused_total++;
    return values[1];
}
