// Decodes one PCL3GUI block (the ink module's colour raster language) into one RGB ink page.
#pragma once

#include "job/JobStream.h"
#include "job/PageData.h"

#include <cstdint>
#include <vector>

namespace brelmont::job {

class HPPclParser : public JobStream {
public:
    static constexpr int64_t ParamDimension = 65; // "A"
    static constexpr int64_t LanguagePCL3GUI = 3;

    // What becomes of the rows. Decode: the page is made and the rows fill it. Check: no page is
    // made, but the rows are decoded (into the seed rows), so a damaged row ends the block as it
    // would with Decode. PassOver: the rows are only passed over; with one raster start in a
    // block that is enough to know the page it leaves, since rows cannot change which page that is.
    enum class Rows { Decode, Check, PassOver };

    // Decodes the whole block at once; the creator then takes m_page. No page larger than
    // `pageLimit` bytes is made.
    explicit HPPclParser(Bytes data, int64_t pageLimit = PageData::MaxBufferSize, Rows rows = Rows::Decode);

    // 0 when the data is used up, negative when decoding ended early (the page keeps its rows).
    int64_t parse();

    PagePtr m_page;
    int64_t m_result = 0;
    int64_t m_failedAt = -1; // where in the block the command that ended decoding began

    // The page of the last raster start: its size, and whether it can be made (with Decode,
    // whether it was made). Without a raster start there is no page.
    int64_t m_rasterStarts = 0;
    int64_t m_pageWidth = 0, m_pageHeight = 0;
    bool m_hasPage = false;

    const int64_t m_pageLimit;
    const Rows m_rows;

    // Raster state, as the block left it.
    int64_t m_v = 0;           // planes received in the current row
    int64_t m_y = 0;           // transmitted row of the current raster
    int64_t m_dpi = 0;         // unit of measure, then resolution
    int64_t m_compression = 0; // of the colour rows (9 for a black-only block)
    int64_t m_rasterMode = 0;
    int64_t m_paperWidth = 0;
    int64_t m_paperHeight = 0;
    int64_t m_mediaType = 0;
    int64_t m_duplexMode = 0;
    int64_t m_language = 0;
    bool m_blackPlane = false; // rows carry a mode 9 black plane (ESC*b#V) before the colour row

private:
    int64_t parseEscapeGroup(int64_t group);
    int64_t execute(int64_t group, int64_t param, int64_t letter, int64_t n);
    int64_t configureRasterData(int64_t n);
    int64_t resolution(int64_t n);
    void startRaster(int64_t n);
    void endRaster();
    void resetSeedRows();
    int64_t planeRow(int64_t n);
    int64_t colourRow(int64_t n);
    int64_t skipRows(int64_t n);
    void transferColourRow(bool withBlack);
    void transferBlackRow();
    void paintBlack(uint8_t* pageRow) const;

    // Seed rows of the raster at transmission resolution (twice the page's in both directions):
    // m_row holds RGB pixels, m_blackRow one bit per pixel.
    int64_t m_commandStart = 0; // where the top-level command being decoded began
    bool m_rowsReady = false;
    int64_t m_rowPixels = 0;
    std::vector<uint8_t> m_row;
    std::vector<uint8_t> m_blackRow;
    // The colour row at page resolution, gathered again only when m_row has changed.
    std::vector<uint8_t> m_pageRow;
    bool m_rowChanged = true;
};

} // namespace brelmont::job
