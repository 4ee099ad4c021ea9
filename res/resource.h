// Resource IDs. Written by hand; the numbers are fixed: settings, tests and translations refer to them.
#pragma once

// Strings
#define IDS_PRODUCT_NAME 103
#define IDS_PRODUCT_CLASS 109

// Icons
#define IDI_HUEPEEK 107
#define IDI_PIXEL 108

// Banner bitmaps (700 x 60)
#define IDB_BANNER_DARK 132
#define IDB_BANNER_LIGHT 157
