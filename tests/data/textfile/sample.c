/* Sample for the counter. */
#include <stdio.h>

// Adds two numbers.
int add(int a, int b)
{
    return a + b; /* sum */
}

int main(void)
{
    /* A comment
       over two lines */
    printf("%d\n", add(1, 2));
    return 0;
}
