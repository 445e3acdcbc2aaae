// Every resource and command id of torvex.exe. Plain #defines: the resource compiler reads this.
#pragma once

#include "framework/framework_ids.h"

// Resources
#define IDR_MAINFRAME 128          // menu, accelerators, app icon, document template string, disk toolbar
#define IDR_ARCHIVE_TOOLBAR 136    // archive toolbar bitmap
#define IDR_CONTEXT_MENU 159       // pop-ups: 0 archive, 1 disk file, 2 files list
#define IDI_FOLDER_CLOSED 171
#define IDI_FOLDER_OPEN 172
#define IDI_FOLDER_UP 173
#define IDI_FILE_DEFAULT 174
#define IDI_FILE_PROGRAM 175

// Strings
#define ID_TIP_OF_THE_DAY 104      // command and its prompt; the frame inserts it into the Help menu
#define IDS_TIP_MENU_TEXT 105      // "Ti&p of the Day..."
#define IDS_TIP_HEADING 106
#define IDS_TIP_FILE_ABSENT 107
#define IDS_TIP_FILE_TROUBLE 108
#define IDS_HELP_MENU_TEXT 109     // "&Help"

// Controls
#define IDC_CHAPTER_COMBO 110
#define IDC_DRIVE_COMBO 137
#define ID_INFO_PANE 2003

// Commands
#define ID_ADD 32771
#define ID_EXTRACT 32773
#define ID_EXTRACT_TO 32774
#define ID_LIST_VIEW 32776
#define ID_DETAILS_VIEW 32778
#define ID_DELETE 32779
#define ID_DIRECTORIES 32788
#define ID_COMPUTE_SIZE 32791
#define ID_ADD_TO_FILES_LIST 32792
#define ID_EDIT_FILES_LIST 32793
#define ID_SHELL_EXTENSIONS 32800
#define ID_FILES_LIST_SIZE 32802
#define ID_TEST 32809
#define ID_MISCELLANEOUS 32811
#define ID_EXTRACT_ARCHIVE_TO 32813
#define ID_VIEW_OPEN_FILE 32814
#define ID_SAVE_VIEWED 32821
#define ID_SELECT_ALL 32824
#define ID_REFRESH 32827
#define ID_UNINSTALL 32828

// Add dialog (resource "Add") and Delete dialog
#define IDC_ADD_ARCHIVE_NAME 1001
#define IDC_ADD_BROWSE 1002
#define IDC_ADD_COMPRESSION 1003
#define IDC_ADD_SPAN 1004
#define IDC_ADD_ACTION 1005
#define IDC_ADD_VOLUME 1006
#define IDC_ADD_FORMAT 1007
#define IDC_ADD_WIPE 1008
#define IDC_ADD_TREE 1009
#define IDC_ADD_PATH_IN_ARCHIVE 1010
#define IDC_ADD_COMMAND_LINE 1016
#define IDC_ADD_FULL_PATH 1023
#define IDC_ADD_PARTIAL_PATH 1059
#define IDC_ADD_NO_PATH 1060
#define IDC_ADD_LIST_FILE_ONLY 1062
#define IDC_ADD_SHOW_TREE 1063
#define IDC_ADD_USE_FILES_LIST 1066
#define IDC_ADD_COMMENT_ARCHIVE 1104
#define IDC_ADD_COMMENT_CHAPTER 1105
#define IDC_ADD_ARCHIVE_COMMENT 1106
#define IDC_ADD_CHAPTER_COMMENT 1107
#define IDC_ADD_EDIT_LINE 3
#define IDC_ADD_HELP 4
#define IDD_DELETE 182
#define IDC_DEL_SELECTED 1022
#define IDC_DEL_FILES_LIST 1100
#define IDC_DEL_ALL_CHAPTERS 1101
#define IDC_DEL_CHAPTERS 1102
#define IDC_DEL_CHAPTER_LIST 1103
#define IDC_DEL_HELP 3
