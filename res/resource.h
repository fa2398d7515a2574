#pragma once

#define IDD_CONFIRM 1
#define IDD_HOLDERS 3
#define IDD_CLIENT 2000

#define IDC_TITLE_PICTURE 102
#define IDC_TREE 101
#define IDC_CONFIRM_TEXT 101
#define IDC_CONFIRM_WARNING 102
#define IDC_HOLDERS_LIST 101
#define IDC_HOLDERS_HEADING 103
#define IDC_CLOSE_PROGRAMS 104

#define IDB_TITLE 102
#define IDB_CHECKBOXES 400
#define IDB_ITEMS 5072
#define IDI_PROGRAM 1001

// Each picture is also drawn for 150 % and 200 % display scaling, with the
// 100 % id plus 10000 and plus 20000 (TScaledPicture).
#define IDB_TITLE_150 10102
#define IDB_TITLE_200 20102
#define IDB_CHECKBOXES_150 10400
#define IDB_CHECKBOXES_200 20400
#define IDB_ITEMS_150 15072
#define IDB_ITEMS_200 25072
#define IDI_PROGRAM_150 11001
#define IDI_PROGRAM_200 21001
