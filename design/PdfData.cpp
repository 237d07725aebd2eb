#include "design/PdfData.h"

void CPdfData::SetDefaults() { m_outputPath.Empty(); }
