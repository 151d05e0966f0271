#include "toolchain/link.h"

#include "toolchain/chunk_writer.h"
#include "toolchain/hex_text.h"
#include "toolchain/le_file.h"
#include "toolchain/output_names.h"
#include "toolchain/qobj_format.h"

namespace {

// Copies count bytes from one stream to the other; false on a short read or write.
bool CopyBytes(std::FILE* from, std::FILE* to, int64_t count) {
  char chunk[1 << 16];
  while (count > 0) {
    const size_t want = count < static_cast<int64_t>(sizeof chunk) ? static_cast<size_t>(count)
                                                                   : sizeof chunk;
    if (std::fread(chunk, 1, want, from) != want) return false;
    if (std::fwrite(chunk, 1, want, to) != want) return false;
    count -= static_cast<int64_t>(want);
  }
  return true;
}

}  // namespace

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

int32_t TLink::Link(TCList<TAsmFile>* sources) {
  if (CollectObjNames(sources) != 0) return -1;
  if (WriteImage(ImageName) < 0) return -2;
  const std::string listingName = MakeListingName(ImageName, ".lst");
  ObjFiles.AssignNames(ObjNames);
  if (ObjFiles.LoadAll() < 0) return -5;
  if (ObjFiles.ResolveAll(ImageName) < 0) return -6;
  if (WriteListing(ImageName, listingName) < 0) return -4;
  if (WriteBinCopy(ImageName) < 0) return -7;
  return 0;
}

int32_t TLink::CollectObjNames(TCList<TAsmFile>* sources) {
  if (sources == nullptr) return -1;
  ObjNames.Clear();
  sources->UpdateCount();
  for (int32_t i = 0; i < sources->Count; ++i) {
    ObjNames.Append(MakeQobjName(sources->Item(i)->Value.FileName));
  }
  return 0;
}

int32_t TLink::WriteImage(const std::string& imagePath) {
  TFilePtr image = OpenFile(imagePath, "wb");
  if (!image) return -1;
  ObjNames.UpdateCount();
  for (int32_t i = 0; i < ObjNames.Count; ++i) {
    if (AppendQobjCode(image.get(), ObjNames.Item(i)->Value) != 0) return -2;
  }
  return CloseWritten(image) ? 0 : -1;
}

int32_t TLink::AppendQobjCode(std::FILE* image, const std::string& objPath) {
  if (image == nullptr) return -1;
  TFilePtr object = OpenFile(objPath, "rb");
  if (!object) return -2;
  int32_t words = 0;
  if (!ReadQobjMagic(object.get()) || !ReadInt32LE(object.get(), words)) return -3;
  if (words <= 0) return 0;
  const int64_t bytes = static_cast<int64_t>(words) * 4;
  const int64_t left = BytesLeft(object.get());
  if (left < bytes) return -3;
  return CopyBytes(object.get(), image, bytes) ? 0 : -1;
}

int32_t TLink::WriteListing(const std::string& imagePath, const std::string& listingPath) {
  TFilePtr image = OpenFile(imagePath, "rb");
  if (!image) return -1;
  TFilePtr listing = OpenFile(listingPath, "wb");
  if (!listing) return -2;
  TChunkWriter out(listing.get());
  unsigned char word[4];
  for (uint32_t address = 0; std::fread(word, 1, 4, image.get()) == 4; address += 4) {
    AppendHex8(out.Buffer, address);
    out.Buffer += "\t\t";
    AppendHex8(out.Buffer, GetWordLE(word));
    out.Buffer += "\r\n";
    out.Spill();
  }
  const bool written = out.Flush() && ObjFiles.DumpAll(listing.get()) == 0;
  return CloseWritten(listing) && written ? 0 : -2;
}

int32_t TLink::WriteBinCopy(const std::string& imagePath) {
  const std::string copyName =
      imagePath.substr(0, imagePath.size() < 7 ? 0 : imagePath.size() - 7) + ".Bin";
  // The image is opened first, so a failure leaves the old copy as it was.
  TFilePtr image = OpenFile(imagePath, "rb");
  if (!image) return -3;
  const int64_t size = BytesLeft(image.get());
  if (size < 0) return -3;
  TFilePtr copy = OpenFile(copyName, "wb");
  if (!copy) return -1;
  const bool copied = CopyBytes(image.get(), copy.get(), size);
  return CloseWritten(copy) && copied ? 0 : -1;
}
