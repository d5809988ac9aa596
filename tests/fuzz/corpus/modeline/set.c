# vi: set ts=4 sw=4:
int x;
