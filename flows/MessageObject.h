#pragma once
// A text, icon or extra-life icon shown on the stage by the message command, by a taken item or
// by the extra-life display; the play state keeps them in its message list.
#include <cstdint>
#include <list>
#include <string>

struct DDSURFACEDATA;

// The construction values of a message.
struct MessageSetup {
    int32_t nKind = 0;              // 0 placeholder, 1 text, 2 icon, 3 extra-life icon
    std::string strText;
    int32_t nIconKind = 0, nIconGraphic = 0, nIconValue = 0;
    int32_t nPositionMode = 0;
    int32_t nX = 0, nY = 0;         // blocks
    int32_t nOffsetX = 0, nOffsetY = 0;
    int32_t bKeepInside = 0;
    int32_t bFixedOnScreen = 0;
    int32_t nTimeMode = 0;          // 0 until the advance key, 1 until the stage ends, 2 by time
    int32_t nFrames = 0;
    int32_t bStopsGame = 0;
    int32_t nFollowKey = 0;         // object key, 0 none
    int32_t bFlowWait = 0;
    int32_t bExpandCodes = 0;
    int32_t bRefresh = 0;
    int32_t nRefreshInterval = 0;
    int32_t bWindow = 0;
    int32_t bUsesId = 0;
    int32_t nId = 0;
};

class cMessageObject {
public:
    cMessageObject() = default;
    // Releases the text surface. Defined in MessageObject.cpp, like the rest.
    ~cMessageObject();
    cMessageObject(const cMessageObject& other);
    cMessageObject& operator=(const cMessageObject& other);

    void Setup(const MessageSetup& setup, int32_t bNoNewSurface);
    void ExpandMessageCodes(std::string& strText);
    void MeasureText(const std::string& strText, int32_t& nWidth, int32_t& nHeight);
    int32_t CreateSurface();
    void Draw();
    // 0 shown, 1 finished; bPaused while the pause thread draws.
    int32_t Update(DDSURFACEDATA* lpTarget, int32_t bPaused);
    // Gives the text surface back to Off_Msg (none afterwards).
    void ReleaseSurface();
    // Where the message is drawn this frame (the position rules of Update); 0 when the object
    // it follows is gone.
    int32_t Place(int32_t& x, int32_t& y);

    MessageSetup m_Setup;
    std::string m_strSource;
    int32_t m_nWidth = 0, m_nHeight = 0;
    int32_t m_bRemembered = 0;
    int32_t m_nRememberedX = 0, m_nRememberedY = 0;
    int32_t m_nFramesLeft = 0;
    int32_t m_nRefreshCount = 0;
    int32_t m_bOpening = 0;
    double m_dOpening = 0.0;
    DDSURFACEDATA* m_lpSurface = nullptr;   // in Off_Msg

    // Removed from the play state's list (objects/ObjectList.h).
    int32_t m_bGone = 0;
};
