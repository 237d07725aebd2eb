// The PDF chart settings kept with every design (CPdfData) and the PDF export
// options (CPdfExportOptions). The design holds one of each by value. The
// records' full fields and stored forms belong to the design-file and PDF
// work; this header gives what the design model relies on: construction
// with defaults, SetDefaults, copying and comparison.
#pragma once

#include "platform/base.h"

class CPdfData {
 public:
  CPdfData() { SetDefaults(); }
  virtual ~CPdfData() = default;
  CPdfData(const CPdfData&) = default;
  CPdfData& operator=(const CPdfData&) = default;

  // Empties the document texts and restores the default layout.
  void SetDefaults();

  friend bool operator==(const CPdfData& a, const CPdfData& b) { return a.m_outputPath == b.m_outputPath; }
  friend bool operator!=(const CPdfData& a, const CPdfData& b) { return !(a == b); }

  // The record's first field: the output file path.
  CString m_outputPath;
};

class CPdfExportOptions {
 public:
  explicit CPdfExportOptions(int = 0) { SetDefaults(); }
  virtual ~CPdfExportOptions() = default;
  CPdfExportOptions(const CPdfExportOptions&) = default;
  CPdfExportOptions& operator=(const CPdfExportOptions&) = default;

  void SetDefaults() {}

  friend bool operator==(const CPdfExportOptions&, const CPdfExportOptions&) { return true; }
};
