// What the readers of outside data accept: regular files only, each kind within its own size.
#pragma once

#include <cstdint>

namespace vardel::platform {

// The largest file each reader takes. Content comes off a disc or a copied folder and may be
// damaged or hostile; a reader that takes whatever it is given can be made to read for ever (a
// device, a pipe) or to hold gigabytes. Each limit is far above what real content needs:
//
// A picture of the magazine is an 800x600 JPEG of a few hundred kilobytes; the decoder refuses
// anything above 32 megapixels, which even at the highest quality stays under 64 MB.
inline constexpr std::int64_t kMaxPictureBytes = std::int64_t(64) << 20;
// An article is tens of kilobytes of HTML; a whole book as one page is a few megabytes. Also
// the limit of a style sheet an article names.
inline constexpr std::int64_t kMaxArticleBytes = std::int64_t(16) << 20;
// Configuracion.ini describes fifteen cities in about two kilobytes.
inline constexpr std::int64_t kMaxIniBytes = std::int64_t(16) << 20;
// An editor document: the rich-text control's own limit, a few thousand pages of text.
inline constexpr std::int64_t kMaxDocumentBytes = std::int64_t(64) << 20;
// A piece of music (MP3), a track of a virtual CD (WAV, FLAC, MP3) or a disc image (BIN): an
// audio CD image is under 900 MB. The decoder's stream interface counts bytes in 32 bits.
inline constexpr std::int64_t kMaxAudioFileBytes = (std::int64_t(1) << 31) - 1;
// A cue sheet lists at most 99 tracks in a few kilobytes.
inline constexpr std::int64_t kMaxCueSheetBytes = std::int64_t(1) << 20;

// Why a file was refused.
enum class FileRefusal {
  None,
  Missing,     // no such file, or a link to nothing
  NotRegular,  // a folder, a device, a pipe, a socket (after following links)
  TooLarge,    // above the reader's limit
  Unreadable,  // exists but cannot be opened (permissions, I/O)
};

// Opens `path` (a file system path, as the system names it) for reading when, after following
// links, it is a regular file of at most `limit` bytes; -1 otherwise, with the reason in `why`.
// Never blocks: the path is examined before it is opened, the open itself does not wait (a pipe
// put in its place meanwhile is refused by looking again at what was opened). The caller owns
// the descriptor, which is blocking and close-on-exec. When the system refused (Missing,
// Unreadable), errno says why.
int openRegularFile(const char* path, std::int64_t limit, FileRefusal* why = nullptr);

// The same examination without opening: what openRegularFile would refuse now.
FileRefusal checkRegularFile(const char* path, std::int64_t limit);

// A short English reason, for error texts that carry the system's own words.
const char* refusalText(FileRefusal why);

}  // namespace vardel::platform
