// Reads EMF records back into texts, shapes and lines.
#include "metafile_recording.h"

#include <cstring>

static const char PageMark[] = "kw page";

void RecordPageBreak(HDC dc) { GdiComment(dc, sizeof(PageMark), reinterpret_cast<const BYTE*>(PageMark)); }

namespace {

struct Reading {
  std::vector<DrawnItem> items;
  std::vector<std::vector<BYTE>> raw;
  int page = 0;
  POINT position{};
};

int CALLBACK ReadRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
  Reading& reading = *reinterpret_cast<Reading*>(data);
  const BYTE* bytes = reinterpret_cast<const BYTE*>(record);
  if (record->iType != EMR_HEADER && record->iType != EMR_EOF) {
    reading.raw.emplace_back(bytes, bytes + record->nSize);
  }
  DrawnItem item{};
  item.type = record->iType;
  item.page = reading.page;
  switch (record->iType) {
    case EMR_GDICOMMENT: {
      const auto* comment = reinterpret_cast<const EMRGDICOMMENT*>(record);
      if (comment->cbData == sizeof(PageMark) && std::memcmp(comment->Data, PageMark, sizeof(PageMark)) == 0) {
        ++reading.page;
      }
      return 1;
    }
    case EMR_EXTTEXTOUTW: {
      const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
      const auto* chars = reinterpret_cast<const wchar_t*>(bytes + text->emrtext.offString);
      item.text.assign(chars, text->emrtext.nChars);
      item.box = {text->emrtext.ptlReference.x, text->emrtext.ptlReference.y, 0, 0};
      break;
    }
    case EMR_ELLIPSE: {
      // Metafiles keep boxes inclusive of their right and bottom edges; the
      // drawing calls take them exclusive.
      const RECTL& box = reinterpret_cast<const EMRELLIPSE*>(record)->rclBox;
      item.box = {box.left, box.top, box.right + 1, box.bottom + 1};
      break;
    }
    case EMR_MOVETOEX: {
      const auto* move = reinterpret_cast<const EMRMOVETOEX*>(record);
      reading.position = {move->ptl.x, move->ptl.y};
      return 1;
    }
    case EMR_LINETO: {
      const auto* line = reinterpret_cast<const EMRLINETO*>(record);
      item.box = {reading.position.x, reading.position.y, line->ptl.x, line->ptl.y};
      reading.position = {line->ptl.x, line->ptl.y};
      break;
    }
    default:
      return 1;
  }
  reading.items.push_back(item);
  return 1;
}

Reading Record(const std::function<void(HDC)>& draw) {
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  draw(dc);
  HENHMETAFILE metafile = CloseEnhMetaFile(dc);
  Reading reading;
  EnumEnhMetaFile(nullptr, metafile, ReadRecord, &reading, nullptr);
  DeleteEnhMetaFile(metafile);
  return reading;
}

}  // namespace

std::vector<DrawnItem> RecordDrawing(const std::function<void(HDC)>& draw) { return Record(draw).items; }

std::vector<std::vector<BYTE>> RecordRaw(const std::function<void(HDC)>& draw) { return Record(draw).raw; }

std::vector<DrawnItem> ItemsOf(const std::vector<DrawnItem>& items, DWORD type) {
  std::vector<DrawnItem> found;
  for (const DrawnItem& item : items) {
    if (item.type == type) found.push_back(item);
  }
  return found;
}

const DrawnItem* FindText(const std::vector<DrawnItem>& items, const std::wstring& text) {
  for (const DrawnItem& item : items) {
    if (item.type == EMR_EXTTEXTOUTW && item.text == text) return &item;
  }
  return nullptr;
}

bool HasLine(const std::vector<DrawnItem>& items, int x1, int y1, int x2, int y2) {
  for (const DrawnItem& item : items) {
    if (item.type == EMR_LINETO && item.box.left == x1 && item.box.top == y1 && item.box.right == x2 &&
        item.box.bottom == y2) {
      return true;
    }
  }
  return false;
}
