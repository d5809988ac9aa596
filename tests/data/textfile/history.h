/*
2.0 991231 jm Moved to the new tree
    with all its tests
|   and their data
1.9 990101 073000 jm Keeps the old names
*/
#ifndef HISTORY_H
#define HISTORY_H
