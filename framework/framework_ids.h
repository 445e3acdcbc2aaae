// Ids the framework itself gives meaning to: standard commands, bar and pane ids, framework
// strings. Plain #defines so that the resource compiler reads them too.
#pragma once

// Commands the application and the frame handle themselves.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_MRU_FILE1 57616  // recent files: ID_FILE_MRU_FILE1 + 0..3
#define ID_FILE_MRU_FILE4 57619
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_HELP 57670
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393

// Child window ids of a frame.
#define ID_TOOLBAR_BAR 0xE800
#define ID_STATUS_BAR 0xE801
#define ID_VIEW_PANE 0xE900

// Strings: the application title and the idle text of the status bar.
#define IDS_APP_TITLE 57344
#define IDS_IDLE_MESSAGE 57345
// Message pane indicator of a status bar.
#define ID_SEPARATOR 0
