#include "GlobalBlock.h"

char WindowsDir[PathBufferSize];
char SystemDir[PathBufferSize];
unsigned char CompleteRemovalFlag;
