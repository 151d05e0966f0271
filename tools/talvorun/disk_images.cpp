#include "disk_images.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "host_reason.h"

namespace {

// 0 when the folder a new file would go in lets this user make it, else why not.
int FolderRefusesNewFile(const std::string& file) {
  std::string folder = std::filesystem::path(file).parent_path().string();
  if (folder.empty()) folder = ".";
  return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

}  // namespace

std::string OpenNamedImages(const std::vector<TNamedImage>& images) {
  auto refuse = [&images](const TNamedImage& image, int error) {
    for (const TNamedImage& each : images) each.Drive.Close();
    return std::string("cannot open the ") + image.What + " image " + image.File + ": " + HostReason(error);
  };
  std::vector<const TNamedImage*> missing;
  for (const TNamedImage& image : images) {
    if (image.File.empty()) continue;
    image.Drive.FileName = image.File;
    int error = 0;
    if (image.Drive.Open(&error, TDiskDrive::TOpenMode::ExistingOnly) == 0) continue;
    if (error != ENOENT) return refuse(image, error);
    if (const int folderError = FolderRefusesNewFile(image.File)) return refuse(image, folderError);
    missing.push_back(&image);
  }
  for (const TNamedImage* image : missing) {
    int error = 0;
    if (image->Drive.Open(&error) != 0) return refuse(*image, error);
  }
  return {};
}
