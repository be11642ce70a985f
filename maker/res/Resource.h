// Resource ids of the maker: its one dialog and the controls on it.
#ifndef PARVELO_MAKER_RES_RESOURCE_H
#define PARVELO_MAKER_RES_RESOURCE_H

#define IDD_MAKER 101

#define IDC_APP_NAME 1001
#define IDC_BMP1 1002
#define IDC_BMP1_BROWSE 1003
#define IDC_BMP2 1005
#define IDC_BMP3 1006
#define IDC_BMP4 1007
#define IDC_BMP5 1008
#define IDC_BMP2_BROWSE 1009
#define IDC_BMP3_BROWSE 1010
#define IDC_BMP4_BROWSE 1011
#define IDC_BMP5_BROWSE 1012
#define IDC_FILE_LIST 1013
#define IDC_CREATE 1014
#define IDC_RELOAD 1015

#endif
