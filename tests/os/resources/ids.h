// Ids shared by the test resource sources.
#ifndef TEST_RESOURCE_IDS_H
#define TEST_RESOURCE_IDS_H
#define IDS_BOTH 100
#define IDS_ONLY_FIRST 101
#define IDS_ONLY_SECOND 102
#define IDS_ONLY_PROGRAM 104
#define IDS_ESCAPES 200
#define IDS_NUMERIC 201
#define IDS_WIDE 202
#define IDS_JOINED 203
#define IDS_KEPT 204
#define IDS_FORMAT 205
#define IDS_EMPTY 206
#define IDS_LONG 207
#endif
