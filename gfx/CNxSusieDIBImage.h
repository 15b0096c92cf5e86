#pragma once

#include "gfx/CNxDIBImage.h"

// The picture a plug-in returned: its header block and its pixel block, both from malloc, owned
// here and freed with the image.
class CNxSusieDIBImage : public CNxDIBImage {
public:
    // Takes both blocks, whatever happens.
    CNxSusieDIBImage(void* info, void* bits);
    ~CNxSusieDIBImage() override;

    // Attaches the blocks after checking the header and that each block is as large as the
    // header says. 0 when they do not describe a picture.
    int AttachBlocks();

private:
    void* m_infoBlock;
    void* m_bitsBlock;
};
