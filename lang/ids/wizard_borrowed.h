// Other names the wizard uses for texts that the file operations define.
#pragma once

#define IDS_LOAD_PICTURE_FAILED 203
#define IDS_DESIGN_FILE_FILTER 427
#define IDS_SAVE_PICTURE_FILTER 59402
