// 1.3 110305 tj Reads the new format
//    and writes it back
// 1.2 110201 142200 tj Fixed the parser
// 1.1 101224 ab First version
// Copyright 2011 The Authors
#include <stdio.h>

int a;
