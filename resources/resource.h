// Every resource and command id of torvex.exe. Plain #defines: the resource compiler reads this.
#pragma once

#include "framework/framework_ids.h"

// Resources
#define IDR_MAINFRAME 128          // menu, accelerators, app icon, document template string, disk toolbar
#define IDR_ARCHIVE_TOOLBAR 136    // archive toolbar bitmap
#define IDR_CONTEXT_MENU 159       // pop-ups: 0 archive, 1 disk file, 2 files list
#define IDD_FILES_LIST 161         // "Edit Files List"
#define IDD_PROGRESS 176           // the window shown while an operation runs
#define IDI_FOLDER_CLOSED 171
#define IDI_FOLDER_OPEN 172
#define IDI_FOLDER_UP 173
#define IDI_FILE_DEFAULT 174
#define IDI_FILE_PROGRAM 175
#define IDD_COMMAND_LINE 2311      // command-line editor of the Add and Extract dialogs
#define IDD_DIRECTORY_PICKER 144   // "Directory Selection"
#define IDD_EXTRACT 2312           // "Extract"

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
#define IDC_FILES_LIST_REMOVE 1070
#define IDC_FILES_LIST_TOTAL 1072
#define IDC_FILES_LIST_TREE 1077
#define IDC_COMMAND_LINE_RESET 1055
#define IDC_COMMAND_LINE_COMBO 1056
// Directory Selection
#define IDC_PICKER_DRIVES 1046
#define IDC_PICKER_FOLDERS 1048
#define IDC_PICKER_PATH 1049
// Extract dialog
#define IDC_EXTRACT_EDIT 3
#define IDC_EXTRACT_HELP 4
#define IDC_EXTRACT_BROWSE 1014
#define IDC_EXTRACT_DIRECTORY 1015
#define IDC_EXTRACT_COMMAND_LINE 1016
#define IDC_EXTRACT_CRITERION 1018
#define IDC_EXTRACT_ALL 1021
#define IDC_EXTRACT_SELECTED 1022
#define IDC_EXTRACT_FULL_PATH 1023
#define IDC_EXTRACT_FRESHEN 1039
#define IDC_EXTRACT_UPDATE 1040
#define IDC_EXTRACT_UPDATE_NONE 1053
#define IDC_EXTRACT_OVERWRITE 1057
#define IDC_EXTRACT_PARTIAL_PATH 1059
#define IDC_EXTRACT_NO_PATH 1060
#define IDC_EXTRACT_LIST_ONLY 1062
#define IDC_EXTRACT_FILES_LIST 1066
#define IDC_EXTRACT_CHAPTERS 1093
#define IDC_EXTRACT_FROM 1094
#define IDC_EXTRACT_TO 1095

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

// Directories dialog
#define IDD_DIRECTORIES 2100
#define IDC_DIRS_STARTUP_LAST 1024
#define IDC_DIRS_STARTUP_FIXED 1025
#define IDC_DIRS_STARTUP_EDIT 1026
#define IDC_DIRS_STARTUP_BROWSE 1027
#define IDC_DIRS_ADD_LAST 1028
#define IDC_DIRS_ADD_CURRENT 1029
#define IDC_DIRS_ADD_FIXED 1030
#define IDC_DIRS_ADD_EDIT 1031
#define IDC_DIRS_ADD_BROWSE 1032
#define IDC_DIRS_EXTRACT_LAST 1023
#define IDC_DIRS_EXTRACT_CURRENT 1079
#define IDC_DIRS_EXTRACT_FIXED 1015
#define IDC_DIRS_EXTRACT_EDIT 1034
#define IDC_DIRS_EXTRACT_BROWSE 1035
#define IDC_DIRS_TEMP_ARCHIVE 1039
#define IDC_DIRS_TEMP_FIXED 1016
#define IDC_DIRS_TEMP_EDIT 1040
#define IDC_DIRS_TEMP_BROWSE 1041
#define IDC_DIRS_JAR_EDIT 1036
#define IDC_DIRS_JAR_BROWSE 1037
#define IDC_DIRS_TORVEX_EDIT 1038
#define IDC_DIRS_TORVEX_BROWSE 1042

// Miscellaneous dialog
#define IDD_MISCELLANEOUS 2101
#define IDC_BEEP_WHEN_FINISHED 1081
#define IDC_BEEP_MINUTES 1083
#define IDC_EDITED_COMPRESSION 1086
#define IDC_VIEWER_PATH 1089
#define IDC_VIEWER_BROWSE 1090
#define IDC_LAUNCH_ASSOCIATED 1091
#define IDC_LAUNCH_VIEWER 1092
