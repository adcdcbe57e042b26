// Resource ids of the plug-in: dialog templates, icons and the controls of each template.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

// Dialog templates.
#define IDD_EXPORT                  1000
#define IDD_PROGRESS                1001
#define IDD_PROP_DATABASE           1003
#define IDD_PROP_ORGMAP             1004
#define IDD_PROP_FILEPATH           1005
#define IDD_PROP_TASKS              1006
#define IDD_IMPORT                  1007
#define IDD_PROP_SUPPLIER           1008

// Icons: the three frames of the turning gears.
#define IDI_GEAR1                   1004
#define IDI_GEAR2                   1005
#define IDI_GEAR3                   1006

// Export dialog (1000).
#define IDC_EXPORT_START_TIME       1005
#define IDC_EXPORT_END_TIME         1006
#define IDC_EXPORT_MODIFY           1020
#define IDC_EXPORT_RUN              1000
#define IDC_EXPORT_SUPPLIERS        1008
#define IDC_EXPORT_TASKS            1019

// Progress window (1001).
#define IDC_PROGRESS_ICON           1004
#define IDC_PROGRESS_HEADING        1023
#define IDC_PROGRESS_STATUS         1024
#define IDC_PROGRESS_BAR            1022

// Import dialog (1007).
#define IDC_IMPORT_START_TIME       1007
#define IDC_IMPORT_END_TIME         1008
#define IDC_IMPORT_RUN              1001

// Database page (1003).
#define IDC_DB_DATASOURCE           1028
#define IDC_DB_USERNAME             1051
#define IDC_DB_PASSWORD             1030

// Organisation mapping page (1004).
#define IDC_ORGMAP_CLIENT           1013
#define IDC_ORGMAP_PLATFORM         1014
#define IDC_ORGMAP_ADD              1015
#define IDC_ORGMAP_DELETE           1057
#define IDC_ORGMAP_LIST             1012

// File-path page (1005).
#define IDC_PATH_SOURCE             1004
#define IDC_PATH_DEST               1052
#define IDC_PATH_EXPORT_LOCATION    1006
#define IDC_PATH_BROWSE_SOURCE      1054
#define IDC_PATH_BROWSE_DEST        1053
#define IDC_PATH_IS_DELETED         1023

// Tasks page (1006).
#define IDC_TASKS_LIST              1056
#define IDC_TASKS_SQL               1027

// Supplier page (1008).
#define IDC_SUPPLIER_LIST           1002
#define IDC_SUPPLIER_CODE           1003
#define IDC_SUPPLIER_NAME           1004
#define IDC_SUPPLIER_ADD            1015
#define IDC_SUPPLIER_DELETE         1057

// The task list's in-place cell editor.
#define IDC_CELL_EDIT               333
