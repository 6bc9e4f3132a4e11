/* lib */
    int lib(void);
int lib(void) { return 0; }
