#pragma once
// The header, footer and logo pictures of the reports, read from the files the settings name.

#include <filesystem>

#include <QImage>

namespace velmora::report {

inline constexpr int kReportPictureHeight = 82;

// The picture of the file in the format its extension names, else read as JPEG whatever its name,
// else one white pixel; then scaled to 82 pixels high keeping its proportions (the white pixel
// becomes an 82 x 82 white square). Never fails.
QImage ReportPicture(const std::filesystem::path& file);
// The picture stretched to 82 pixels high; the width keeps the proportion, rounded to the nearest
// pixel (a half to the even one), at least 1.
QImage ScaledToReportHeight(const QImage& picture);

}  // namespace velmora::report
