#include "disk_images.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "host_reason.h"

namespace {

namespace fs = std::filesystem;

// Where creating `file` makes the new file: at the end of the links it names, as the
// open that creates it follows them. A missing image that names no link ends where it
// is named.
fs::path CreatedPlace(fs::path file) {
  // The system's own bound on the links one name goes through; an open that reached
  // this image found a missing file, so its links end before that.
  for (int links = 0; links < 40; ++links) {
    std::error_code error;
    const fs::path target = fs::read_symlink(file, error);
    if (error) break;
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return file;
}

// 0 when the folder a new image would go in lets this user make it, else why not.
int FolderRefusesNewFile(const std::string& file) {
  std::string folder = CreatedPlace(file).parent_path().string();
  if (folder.empty()) folder = ".";
  return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

std::string Refusal(const TNamedImage& image, int error) {
  return std::string("cannot open the ") + image.What + " image " + image.File + ": " + HostReason(error);
}

}  // namespace

std::vector<std::string> OpenNamedImages(const std::vector<TNamedImage>& images) {
  std::vector<std::string> refusals;
  std::vector<const TNamedImage*> missing;
  for (const TNamedImage& image : images) {
    if (image.File.empty()) continue;
    image.Drive.FileName = image.File;
    int error = 0;
    if (image.Drive.Open(&error, TDiskDrive::TOpenMode::ExistingOnly) == 0) continue;
    if (error == ENOENT) error = FolderRefusesNewFile(image.File);
    if (error != 0) {
      refusals.push_back(Refusal(image, error));
    } else {
      missing.push_back(&image);
    }
  }
  // Only a run that will go ahead makes its missing images.
  for (size_t i = 0; i < missing.size() && refusals.empty(); ++i) {
    int error = 0;
    if (missing[i]->Drive.Open(&error) != 0) refusals.push_back(Refusal(*missing[i], error));
  }
  if (!refusals.empty())
    for (const TNamedImage& image : images) image.Drive.Close();
  return refusals;
}
