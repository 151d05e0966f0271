#include "toolchain/link.h"

#include "toolchain/hex_text.h"
#include "toolchain/le_file.h"
#include "toolchain/output_file.h"
#include "toolchain/output_names.h"

std::string MakeImageName(const std::string& projectPath) {
  return ReplaceExtension(projectPath, ".tvxbin");
}

std::string MakeQobjName(const std::string& sourcePath) {
  return ReplaceExtension(sourcePath, ".qobj");
}

// Cut at the file name's last dot: cutting at the path's first dot would put the
// listing of a project in a folder such as rel.2/ beside that folder.
std::string MakeListingName(const std::string& path, const std::string& ext) {
  return ReplaceExtension(path, ext);
}

std::string MakeBinCopyName(const std::string& imagePath) {
  return imagePath.substr(0, imagePath.size() < 7 ? 0 : imagePath.size() - 7) + ".Bin";
}

int32_t TLink::Link(TCList<TAsmFile>* sources) { return LinkObjects(sources, true); }

int32_t TLink::LinkAssembled(TCList<TAsmFile>* sources) { return LinkObjects(sources, false); }

int32_t TLink::CollectObjNames(TCList<TAsmFile>* sources) {
  if (sources == nullptr) return -1;
  ObjNames.Clear();
  sources->UpdateCount();
  for (int32_t i = 0; i < sources->Count; ++i) {
    ObjNames.Append(MakeQobjName(sources->Item(i)->Value.FileName));
  }
  return 0;
}

int32_t TLink::Failed(int32_t result, const TReplacingFile& out, const std::string& path) {
  Messages = WriteFailure(out, path);
  return result;
}

int32_t TLink::LinkObjects(TCList<TAsmFile>* sources, bool fromFiles) {
  Messages.clear();
  if (CollectObjNames(sources) != 0) return -1;
  TReplacingFile image(ImageName);
  if (image.Error() != 0) return Failed(-2, image, ImageName);

  ObjFiles.AssignNames(ObjNames);
  const int32_t loaded = fromFiles ? ObjFiles.LoadAll(&Messages) : ObjFiles.TakeAssembled(*sources);
  // An object that does not open or is no object file stops the image itself.
  if (loaded == -1 || loaded == -2) return -2;
  if (loaded != 0) return -5;
  std::string bytes = ObjFiles.ImageBytes();
  if (ObjFiles.ResolveAll(bytes) != 0) return -6;
  image.Write(bytes);

  const std::string listingName = MakeListingName(ImageName, ".lst");
  TReplacingFile listing(listingName);
  if (listing.Error() != 0) return Failed(-4, listing, listingName);
  WriteListing(listing, bytes);

  const std::string copyName = MakeBinCopyName(ImageName);
  TReplacingFile copy(copyName);
  if (copy.Error() != 0) return Failed(-7, copy, copyName);
  copy.Write(bytes);

  // All three are written out before any replaces its old file, so a full disk never
  // leaves a new image beside an old copy.
  if (!image.Finish()) return Failed(-2, image, ImageName);
  if (!listing.Finish()) return Failed(-4, listing, listingName);
  if (!copy.Finish()) return Failed(-7, copy, copyName);
  if (!image.Commit()) return Failed(-2, image, ImageName);
  if (!listing.Commit()) return Failed(-4, listing, listingName);
  if (!copy.Commit()) return Failed(-7, copy, copyName);
  return 0;
}

void TLink::WriteListing(TReplacingFile& listing, const std::string& image) const {
  const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
  for (size_t at = 0; at + 4 <= image.size(); at += 4) {
    AppendHex8(listing.Buffer, static_cast<uint32_t>(at));
    listing.Buffer += "\t\t";
    AppendHex8(listing.Buffer, GetWordLE(bytes + at));
    listing.Buffer += "\r\n";
    listing.Spill();
  }
  ObjFiles.DumpAll(listing);
}
