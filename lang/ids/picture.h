// lang/ids/picture.h -- texts of the picture classes
#pragma once

// Messages of the GIF writer of the picture back ends.
#define IDS_GIF_MUST_BE_8BIT 7001
#define IDS_GIF_CANNOT_OPEN 7002
#define IDS_GIF_WRITE_ERROR 7003
