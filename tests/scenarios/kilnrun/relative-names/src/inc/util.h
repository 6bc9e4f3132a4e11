/* util */
int util(void);
