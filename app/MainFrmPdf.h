// The PDF chart's picture renderer of the application.
#pragma once

// Makes the design view's thumbnail renderer draw the pictures of PDF charts
// (File > PDF file... installs it before each export).
void InstallPdfPictureRenderer();
