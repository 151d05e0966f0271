#include "toolchain/link.h"

#include <algorithm>
#include <future>

#include "toolchain/file_messages.h"
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

// The three files of a link, written out and waiting to replace the old ones.
struct TLink::TPrepared {
  explicit TPrepared(const std::string& imageName)
      : ImageName(imageName),
        ListingName(MakeListingName(imageName, ".lst")),
        CopyName(MakeBinCopyName(imageName)),
        Image(ImageName),
        Listing(ListingName),
        Copy(CopyName) {}
  std::string ImageName;
  std::string ListingName;
  std::string CopyName;
  TReplacingFile Image;
  TReplacingFile Listing;
  TReplacingFile Copy;
};

TLink::TLink() = default;
TLink::~TLink() = default;

int32_t TLink::Link(TCList<TAsmFile>* sources) {
  const int32_t prepared = Prepare(sources, true);
  return prepared != 0 ? prepared : Commit();
}

int32_t TLink::PrepareAssembled(TCList<TAsmFile>* sources) { return Prepare(sources, false); }

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
  Messages = WriteFailure(path, out.Failure());
  Prepared.reset();  // the file and its name go with it
  return result;
}

int32_t TLink::Prepare(TCList<TAsmFile>* sources, bool fromFiles) {
  Messages.clear();
  Warnings.clear();
  Prepared.reset();
  if (CollectObjNames(sources) != 0) return -1;
  Prepared = std::make_unique<TPrepared>(ImageName);
  TPrepared& files = *Prepared;
  if (files.Image.Error() != 0) return Failed(-2, files.Image, files.ImageName);

  ObjFiles.AssignNames(ObjNames);
  const int32_t loaded = fromFiles ? ObjFiles.LoadAll(&Messages) : ObjFiles.TakeAssembled(*sources);
  // An object that does not open or is no object file stops the image itself.
  if (loaded != 0) Prepared.reset();
  if (loaded == -1 || loaded == -2) return -2;
  if (loaded != 0) return -5;
  std::string image = ObjFiles.ImageBytes();
  if (ObjFiles.ResolveAll(image) != 0) {
    Prepared.reset();
    return -6;
  }
  for (const TOBJFiles::TUnresolved& unresolved : ObjFiles.Unresolved()) {
    const std::string& source = sources->Item(static_cast<int32_t>(unresolved.Object))->Value.FileName;
    Warnings += UnresolvedReferenceMessage(std::string(unresolved.Name), unresolved.Address,
                                           unresolved.DefinedElsewhere, source);
  }
  if (files.Listing.Error() != 0) return Failed(-4, files.Listing, files.ListingName);
  if (files.Copy.Error() != 0) return Failed(-7, files.Copy, files.CopyName);

  // The listing, many times the image's size, is written on a second thread meanwhile.
  std::future<bool> listing = std::async(std::launch::async, [&] {
    WriteListing(files.Listing, image);
    return files.Listing.Finish();
  });
  files.Image.Write(image);
  files.Copy.Write(image);
  const bool imageWritten = files.Image.Finish();
  const bool copyWritten = files.Copy.Finish();
  const bool listingWritten = listing.get();
  if (!imageWritten) return Failed(-2, files.Image, files.ImageName);
  if (!listingWritten) return Failed(-4, files.Listing, files.ListingName);
  if (!copyWritten) return Failed(-7, files.Copy, files.CopyName);
  return 0;
}

int32_t TLink::Commit() {
  if (!Prepared) return -2;
  // All three were written out before any replaces its old file, so a full disk never
  // leaves a new image beside an old copy.
  TPrepared& files = *Prepared;
  if (!files.Image.Commit()) return Failed(-2, files.Image, files.ImageName);
  if (!files.Listing.Commit()) return Failed(-4, files.Listing, files.ListingName);
  if (!files.Copy.Commit()) return Failed(-7, files.Copy, files.CopyName);
  Prepared.reset();
  return 0;
}

void TLink::WriteListing(TReplacingFile& listing, const std::string& image) const {
  // One line of 20 bytes per word, made in place in pieces of many lines.
  constexpr size_t kLine = 20;
  constexpr size_t kWordsPerPiece = 1 << 15;
  const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
  const size_t words = image.size() / 4;
  for (size_t first = 0; first < words; first += kWordsPerPiece) {
    const size_t count = std::min(kWordsPerPiece, words - first);
    const size_t start = listing.Buffer.size();
    listing.Buffer.resize(start + count * kLine);
    char* p = listing.Buffer.data() + start;
    for (size_t i = first; i < first + count; ++i) {
      p = PutHex8(p, static_cast<uint32_t>(4 * i));
      *p++ = '\t';
      *p++ = '\t';
      p = PutHex8(p, GetWordLE(bytes + 4 * i));
      *p++ = '\r';
      *p++ = '\n';
    }
    listing.Spill();
  }
  ObjFiles.DumpAll(listing);
}
