// Ids of texts both languages needed where the program had only English
// words built in.
#pragma once

#define IDS_TEXT_PEYOTE_COMBINED 34500  // word chart title of a peyote design, rows combined
#define IDS_TEXT_PEYOTE_ORIGINAL 34501  // ... rows as they are
