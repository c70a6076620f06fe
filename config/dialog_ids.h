// Control ids of the settings dialog, shared by the resource script and the
// dialog procedure.
#pragma once

#define IDD_CONFIG 101
#define IDC_INTRO_BUTTON 3
#define IDC_DISABLE_LCD 1007
#define IDC_SKIP_INTRO 1008
#define IDC_TIME_REMAINING 1009
#define IDC_PORT_278 1010
#define IDC_ABOUT_BUTTON 1011
#define IDC_EMAIL_BUTTON 1012
#define IDC_WEB_BUTTON 1013
#define IDC_PORT_378 1014
#define IDC_PORT_3BC 1015
