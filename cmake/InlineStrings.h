// Forced into every source of the program (-include). libstdc++ declares its
// std::string members as instantiated in the library, so every program that
// uses a string links the library's copy of all of them, built with the
// exception tables the program is built without (about 30 KB). Its own
// special value -1 turns that declaration off for std::string alone (as its
// assertion mode does): the members the program uses are compiled with it,
// and the rest is never linked.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
