/* Identifiers of the settings form's controls and of the program's resources.
   Each control's identifier is its name. Read by windres as well as by the
   compiler, so it holds plain #defines only. */
#ifndef SETTING_FORM_IDS_H
#define SETTING_FORM_IDS_H

/* The bottom row. OkButton and CancelButton are the dialog's IDOK and IDCANCEL,
   so Enter and Escape act as they do in every dialog. */
#define OkButton 1
#define CancelButton 2
#define ApplyButton 3
#define VersionLabel 10

/* The left column. */
#define Panel1 20
#define LogoImage 21
#define Panel2 22
#define MouseImage 23

/* The page control; the sheets are hidden labels carrying the tab captions. */
#define PageControl1 30
#define TabSheet1 31
#define TabSheet2 32
#define TabSheet3 33

/* Tab 0, "Wheel". */
#define Label4 100
#define SystemModeRadioButton 101
#define EnhanceModeRadioButton 102
#define Label5 103
#define LineScrollRadioButton 104
#define PageScrollRadioButton 105
#define WheelLineEdit 106
#define WheelLineUpDown 107
#define Label6 108

/* Tab 1, "Button": the three rows. */
#define Fun3Label 200
#define FunctionComboBox 201
#define Fun4Label 202
#define Fun4ComboBox 203
#define Fun5Label 204
#define Fun5ComboBox 205

/* Notebook1 page 0, "Default". */
#define Label1 300
#define FunDescLabel 301

/* Notebook1 page 1, "pZoom". The spin edits are an edit and its up-down. */
#define ZoomImage 400
#define Label2 401
#define Label10 402
#define ZX1 403
#define ZX1Spin 404
#define Label11 405
#define ZY1 406
#define ZY1Spin 407
#define Label12 408
#define ZF 409
#define ZFSpin 410
#define Label13 411
#define ZX2 412
#define Label14 413
#define ZY2 414

/* Notebook1 page 2, "pScroll". */
#define Label23 500
#define ScrollBox1 501
#define ScrollTestIMage 502
#define Label15 503
#define vScrollRxSlider 504
#define Label16 505
#define Label17 506
#define hScrollRxSlider 507
#define Label18 508
#define Panel3 509
#define VScrollCheckBox 510
#define hScrollCheckBox 511
#define ReverseScrollCheckBox 512

/* Notebook1 page 3, "pAutoScroll". */
#define Label8 600
#define ScrollBox2 601
#define AutoScrollTestIMage 602
#define Label3 603
#define Label7 604

/* Notebook1 page 4, "pWWW". */
#define Label9 700
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
