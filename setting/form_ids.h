/* Identifiers of the settings form's controls and of the program's resources.
   A control the user works with is named by its role and kind, as its
   handlers are (WheelLineUpDown, FunctionComboBox); labels, frames and the
   parts of the zoom page are IDC_ names that say what they show. The language
   modules' forms carry the same values: a value never changes. Read by
   windres as well as by the compiler, so it holds plain #defines only. */
#ifndef SETTING_FORM_IDS_H
#define SETTING_FORM_IDS_H

/* The bottom row. OkButton and CancelButton are the dialog's IDOK and IDCANCEL,
   so Enter and Escape act as they do in every dialog. */
#define OkButton 1
#define CancelButton 2
#define ApplyButton 3
#define VersionLabel 10

/* The left column. */
#define IDC_LOGO_FRAME 20
#define LogoImage 21
#define IDC_MOUSE_FRAME 22
#define MouseImage 23

/* The page control; the sheets are hidden labels carrying the tab captions. */
#define IDC_TABS 30
#define IDC_WHEEL_TAB_CAPTION 31
#define IDC_BUTTON_TAB_CAPTION 32
#define IDC_PROGRAMS_TAB_CAPTION 33

/* Tab 0, "Wheel". */
#define IDC_WHEEL_MODE_LABEL 100
#define SystemModeRadioButton 101
#define EnhanceModeRadioButton 102
#define IDC_WHEEL_SPEED_LABEL 103
#define LineScrollRadioButton 104
#define PageScrollRadioButton 105
#define WheelLineEdit 106
#define WheelLineUpDown 107
#define IDC_LINES_PER_UNIT_LABEL 108

/* Tab 1, "Button": the three rows. */
#define Fun3Label 200
#define FunctionComboBox 201
#define Fun4Label 202
#define Fun4ComboBox 203
#define Fun5Label 204
#define Fun5ComboBox 205

/* The Button tab's page 0, "Default". */
#define IDC_DESCRIPTION_LABEL 300
#define FunDescLabel 301

/* The Button tab's page 1, "pZoom". The spin edits are an edit and its up-down. */
#define ZoomImage 400
#define IDC_ZOOM_HINT 401
#define IDC_ZOOM_SOURCE_LABEL 402
#define IDC_ZOOM_SOURCE_WIDTH 403
#define IDC_ZOOM_SOURCE_WIDTH_SPIN 404
#define IDC_ZOOM_SOURCE_TIMES 405
#define IDC_ZOOM_SOURCE_HEIGHT 406
#define IDC_ZOOM_SOURCE_HEIGHT_SPIN 407
#define IDC_ZOOM_FACTOR_LABEL 408
#define IDC_ZOOM_FACTOR 409
#define IDC_ZOOM_FACTOR_SPIN 410
#define IDC_ZOOM_TARGET_LABEL 411
#define IDC_ZOOM_TARGET_WIDTH 412
#define IDC_ZOOM_TARGET_TIMES 413
#define IDC_ZOOM_TARGET_HEIGHT 414

/* The Button tab's page 2, "pScroll". */
#define IDC_SCROLL_TEST_LABEL 500
#define IDC_SCROLL_TEST_BOX 501
#define ScrollTestIMage 502
#define IDC_VERTICAL_FAST_LABEL 503
#define vScrollRxSlider 504
#define IDC_VERTICAL_SLOW_LABEL 505
#define IDC_HORIZONTAL_SLOW_LABEL 506
#define hScrollRxSlider 507
#define IDC_HORIZONTAL_FAST_LABEL 508
#define IDC_SCROLL_ENABLE_FRAME 509
#define VScrollCheckBox 510
#define hScrollCheckBox 511
#define ReverseScrollCheckBox 512

/* The Button tab's page 3, "pAutoScroll". */
#define IDC_AUTO_SCROLL_TEST_LABEL 600
#define IDC_AUTO_SCROLL_TEST_BOX 601
#define AutoScrollTestIMage 602
#define IDC_AUTO_SCROLL_CLICK_HINT 603
#define IDC_AUTO_SCROLL_MOVE_HINT 604

/* The Button tab's page 4, "pWWW". */
#define IDC_WEB_ADDRESS_LABEL 700
#define WebAddrEdit 701

/* Tab 2, "Programs": programs with settings of their own. The picker is a
   label that the user drags onto a program's window. */
#define ProgramsLabel 800
#define ProgramList 801
#define ProgramPicker 802
#define ProgramBrowseButton 803
#define ProgramRemoveButton 804
#define ProgFun3Label 805
#define ProgFun3Box 806
#define ProgFun4Label 807
#define ProgFun4Box 808
#define ProgFun5Label 809
#define ProgFun5Box 810
#define ProgWheelModeLabel 811
#define ProgWheelModeBox 812
#define ProgWheelSpeedLabel 813
#define ProgWheelSpeedBox 814
#define ProgWheelLineEdit 815
#define ProgWheelLineUpDown 816

/* String table: a function's name at its code, its description at 1000 + code,
   a mode's status text at 4000 + mode. */
#define FUNCTION_DESCRIPTION_BASE 1000
#define MODE_STATUS_BASE 4000
#define APP_BLOCK_FAILED_TEXT 5000
#define APP_TITLE_TEXT 5001
#define AGENT_GONE_TEXT 5002
/* The Programs tab's texts. */
#define AS_EVERYWHERE_TEXT 5010
#define PROGRAM_LINES_TEXT 5011
#define PROGRAMS_FULL_TEXT 5012
#define PROGRAM_NAME_TEXT 5013
#define PROGRAM_BROWSE_TITLE 5014
#define PROGRAM_BROWSE_FILTER 5015

/* The scroll boxes of the test areas are windows of this class. */
#define SCROLL_BOX_CLASS "TScrollBox"

#endif
