// Control and template ids of the uninstall wizard, shared by the resource
// script and the form.
#pragma once

#define IDD_WIZARD 100
#define IDD_PFIRST 101
#define IDD_PFINISH 102

#define IDC_NEXTBTN 1001
#define IDC_ABORTBTN 1002
#define IDC_FINISHBTN 1003
#define IDC_PANIMAGE 1010
#define IDC_IMGWIZARD 1011
#define IDC_BEVWIZARD 1012

#define IDC_P1T 1101
#define IDC_P1 1102
#define IDC_PRJLABEL 1103
#define IDC_P2 1104
#define IDC_P3 1105
#define IDC_P4 1106
#define IDC_P5 1107
#define IDC_P6 1108

#define IDC_P2T 1201
#define IDC_P21 1202
#define IDC_P22 1203
#define IDC_P23 1204
// What could not be removed, shown on the finish page only then.
#define IDC_P24 1205
