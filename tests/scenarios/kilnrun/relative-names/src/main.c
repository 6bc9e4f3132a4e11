#include "inc/util.h"
#include "../include/x.h"
int main(void)
{
    return util();
}
