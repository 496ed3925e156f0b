// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/MessageObject.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

cMessageObject::~cMessageObject()
{}

cMessageObject::cMessageObject(const cMessageObject& other)
{}

cMessageObject& cMessageObject::operator=(const cMessageObject& other)
{ static std::remove_reference_t<cMessageObject&> value{}; return value; }

void cMessageObject::Setup(const MessageSetup& setup, int32_t bNoNewSurface)
{}

void cMessageObject::ExpandMessageCodes(std::string& strText)
{}

void cMessageObject::MeasureText(const std::string& strText, int32_t& nWidth, int32_t& nHeight)
{}

int32_t cMessageObject::CreateSurface()
{ return {}; }

void cMessageObject::Draw()
{}

int32_t cMessageObject::Update(DDSURFACEDATA* lpTarget, int32_t bPaused)
{ return {}; }
