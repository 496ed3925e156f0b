#include "data/EdCommand.h"

#include <algorithm>
#include <boost/make_shared.hpp>
#include <utility>

#include "core/SaturatingStep.h"
#include "data/CommandTables.h"
#include "data/RecordReferences.h"
#include "data/RecordStream.h"

namespace {

// Commands hold flows that hold commands. Real projects nest a few levels; a damaged file could
// nest deep enough to exhaust the stack, so loading stops at this depth.
constexpr int32_t kMaxCommandNesting = 32;
thread_local int32_t tlsCommandNesting = 0;

class cNestingGuard {
public:
    cNestingGuard() { ++tlsCommandNesting; }
    ~cNestingGuard() { --tlsCommandNesting; }
    bool TooDeep() const { return tlsCommandNesting > kMaxCommandNesting; }
};

// Parameter i, grown with zeros when an old or damaged record holds fewer; validation fits the
// vector to its kind afterwards, which is never shorter than the indexes used here.
int32_t& Param(std::vector<int32_t>& v, size_t i)
{
    if (v.size() <= i) v.resize(i + 1, 0);
    return v[i];
}

void InsertParam(std::vector<int32_t>& v, size_t nSize, size_t nAt, int32_t nValue)
{
    v.resize(nSize, 0);
    v.insert(v.begin() + static_cast<std::ptrdiff_t>(nAt), nValue);
    v.pop_back();
}

// The database list that p[0] of a kind refers to, and what an out-of-range number becomes.
struct ParamReference {
    int32_t nKind;
    DatabaseList list;
    int32_t nReplacement;
};
constexpr ParamReference kParamReferences[] = {
    {27, DatabaseList::AnimeSet, 0},    {28, DatabaseList::Anime, 1},   {29, DatabaseList::Effect, 1},
    {30, DatabaseList::CharaEffect, 1}, {31, DatabaseList::ScrEffect, 1}, {32, DatabaseList::Picture, 1},
    {35, DatabaseList::Sound, 1},       {36, DatabaseList::Bgm, 1},
};

bool OutOfList(int32_t nIndex, int32_t nCount)
{
    return nIndex < 0 || (nCount >= 0 && nIndex >= nCount);
}

}  // namespace

cEdCommand::cEdCommand()
{
    RegisterFields(kCurrentDataVersion);
}

cEdCommand::cEdCommand(const cEdCommand& source)
    : cFieldListRecord(source),
      m_nFamily(source.m_nFamily),
      m_nKind(source.m_nKind),
      m_nTime(source.m_nTime),
      m_nTimeStep(source.m_nTimeStep),
      m_bSameFrame(source.m_bSameFrame),
      m_nSound(source.m_nSound),
      m_nOption(source.m_nOption),
      m_nAnime(source.m_nAnime),
      m_strText(source.m_strText),
      m_vFlow(source.m_vFlow),
      m_vParam(source.m_vParam)
{
    // Never shared: the copy gets records of its own.
    if (source.m_lpMove) m_lpMove = boost::make_shared<cEdMove>(*source.m_lpMove);
    if (source.m_lpShot) m_lpShot = boost::make_shared<cEdShot>(*source.m_lpShot);
    RegisterFields(kCurrentDataVersion);
}

// Takes the source's records as they are: the source is left without them.
cEdCommand::cEdCommand(cEdCommand&& source) noexcept = default;

cEdCommand::~cEdCommand() = default;

cEdCommand& cEdCommand::operator=(const cEdCommand& source)
{
    cFieldListRecord::operator=(source);
    if (this == &source) return *this;
    // Copied whole first: the source may be a command nested in this one's flows, or share
    // nothing with it at all; either way releasing this command's records cannot touch it.
    cEdCommand copy(source);
    m_nFamily = copy.m_nFamily;
    m_nKind = copy.m_nKind;
    m_nTime = copy.m_nTime;
    m_nTimeStep = copy.m_nTimeStep;
    m_bSameFrame = copy.m_bSameFrame;
    m_nSound = copy.m_nSound;
    m_nOption = copy.m_nOption;
    m_nAnime = copy.m_nAnime;
    m_strText = std::move(copy.m_strText);
    m_lpMove = std::move(copy.m_lpMove);
    m_lpShot = std::move(copy.m_lpShot);
    m_vFlow = std::move(copy.m_vFlow);
    m_vParam = std::move(copy.m_vParam);
    RegisterFields(g_nDataVersion);
    return *this;
}

cEdCommand cEdCommand::Default()
{
    cEdCommand command;
    command.ResetFields();
    command.m_lpMove.reset();
    command.m_lpShot.reset();
    command.m_nOption = 1;
    return command;
}

void cEdCommand::NewMove()
{
    m_lpMove = boost::make_shared<cEdMove>();
}

void cEdCommand::NewShot()
{
    m_lpShot = boost::make_shared<cEdShot>();
}

void cEdCommand::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt8Field(&m_nFamily);
    AddInt8Field(&m_nKind);
    AddInt16Field(&m_nTime);
    AddInt16Field(&m_nTimeStep);
    AddInt8Field(&m_bSameFrame);
    AddInt16Field(&m_nSound);
    AddInt8Field(&m_nOption);
    AddInt16Field(&m_nAnime);
    AddStringField(&m_strText);
}

bool cEdCommand::Load(FILE* fp)
{
    cNestingGuard nesting;
    if (nesting.TooDeep()) {
        ReportRecordReadError(fp, "commands nested too deep");
        return false;
    }
    if (!cFieldListRecord::Load(fp)) return false;

    uint32_t nFlag = 0;
    ResetSharedPtr(m_lpMove);
    if (!ReadU32(fp, nFlag)) {
        ReportRecordReadError(fp, "move flag");
        return false;
    }
    if (nFlag != 0) {
        NewMove();
        if (!m_lpMove->Load(fp)) return false;
    }
    ResetSharedPtr(m_lpShot);
    if (!ReadU32(fp, nFlag)) {
        ReportRecordReadError(fp, "shot flag");
        return false;
    }
    if (nFlag != 0) {
        NewShot();
        if (!m_lpShot->Load(fp)) return false;
    }
    if (!LoadFlowList(fp, m_vFlow) || !LoadIntVector(fp, m_vParam)) return false;

    if (g_nFileVersion < 751) ApplyMigrations();
    if (!KeepDeletedFlows()) RemoveDeletedFlows(m_vFlow);
    Validate();
    return true;
}

bool cEdCommand::Save(FILE* fp)
{
    Validate();
    if (!cFieldListRecord::Save(fp)) return false;
    if (!WriteU32(fp, m_lpMove ? 1 : 0) || (m_lpMove && !m_lpMove->Save(fp))) return false;
    if (!WriteU32(fp, m_lpShot ? 1 : 0) || (m_lpShot && !m_lpShot->Save(fp))) return false;
    return SaveRecordVector(fp, m_vFlow) && SaveIntVector(fp, m_vParam);
}

// Brings a command of an older file to today's kinds and parameters. Item commands take the same
// steps in the flow numbering (item kind + 15), except those for flow kinds below 17, which have
// no item counterpart. Each step sees the kind and parameters as the steps before left them.
// Parameters are read as stored, so a step that moves one up stops at the top of its type.
void cEdCommand::ApplyMigrations()
{
    const uint32_t v = g_nFileVersion;
    const bool bFlow = m_nFamily == 0;
    std::vector<int32_t>& p = m_vParam;
    int32_t k = FlowKind();

    auto statusInsert = [&](int32_t nThreshold) {
        if (Param(p, 0) == 0 && Param(p, 3) != 2 && Param(p, 4) >= nThreshold) StepUp(Param(p, 4));
        if (Param(p, 6) == 2 && Param(p, 12) != 2 && Param(p, 13) >= nThreshold) StepUp(Param(p, 13));
    };

    if (v < 145 && k == 17) p.resize(9, 0);
    if (v < 166 && k == 35) {
        p.resize(2, 0);
        p[1] = 1;
    }
    if (v < 168 && k == 22) statusInsert(10);
    if (v < 189 && k == 21) InsertParam(p, 15, 2, 0);
    if (v < 194 && k == 31) InsertParam(p, 15, 6, 1);
    if (v < 195 && (k == 29 || k == 30)) InsertParam(p, 3, 1, 0);
    if (v < 203) {
        if (bFlow && (k == 14 || k == 15)) p.clear();
        if (bFlow && k == 16) p.resize(3, 0);
        if (k == 22) statusInsert(5);
    }
    if (v < 210 && k == 23 && Param(p, 0) != 2 && Param(p, 1) >= 6) StepUp(Param(p, 1));
    if (v < 219 && k == 25 && Param(p, 0) == 3) Param(p, 1) = std::min(SteppedUp(Param(p, 1)), 119);
    if (v < 220 && bFlow && k == 11 && m_lpShot)
        m_lpShot->m_nGraphic = static_cast<int16_t>(std::min<int32_t>(m_lpShot->m_nGraphic + 1, 119));
    if (v < 514 && bFlow && k == 5 && m_lpMove) {
        m_lpMove->m_nAngle = 0;
        m_lpMove->m_nAngleStep = 0;
        m_lpMove->m_bMirrorAngle = 1;
    }
    if (v < 545) {
        if (k == 19) {
            p.resize(18, 0);
            p[10] = 1;
        }
        if (k == 31) {
            p.resize(15, 0);
            p[11] = 0;
        }
    }
    if (v < 546 && k == 19) Param(p, 10) = (Param(p, 0) == 0 || Param(p, 0) == 7) ? 1 : 0;
    if (v < 547) {
        if (k == 19) {
            p.resize(18, 0);
            p[11] = p[12] = p[13] = 0;
            p[14] = 1;
            p[15] = 0;
        }
        if (k == 31) {
            p.resize(15, 0);
            p[12] = p[13] = 0;
        }
    }
    if (v < 556 && k == 19) {
        p.resize(18, 0);
        p[16] = 1;
    }
    if (v < 722 && k == 17 && Param(p, 0) >= 2) StepUp(Param(p, 0));
    if (v < 723) {
        if (k == 19) {
            p.resize(18, 0);
            p[17] = 0;
        }
        if (k == 31) {
            p.resize(15, 0);
            p[14] = 0;
        }
    }
    if (v < 726 && k == 37) {
        p.resize(5, 0);
        p[0] = 11;
    }
    if (v < 727 && k == 37 && Param(p, 0) == 11) {
        for (int32_t nAt : {2, 3, 4, 14, 15, 16, 17})
            if (Param(p, 1) >= nAt) StepUp(Param(p, 1));
    }
    if (v < 734) {
        // "消滅" was inserted at flow kind 24 (item kind 9).
        if (k >= 24 && m_nKind < 127) {
            ++m_nKind;
            k = FlowKind();
        }
        if (k == 38 && Param(p, 0) >= 24) StepUp(Param(p, 0));
    }
    if (v < 747 && k == 21) {
        p.resize(15, 0);
        p[10] = 0;
        p[11] = 1;
        p[14] = 0;
    }
}

void cEdCommand::Validate()
{
    const int32_t nAnimes = DatabaseCount(DatabaseList::Anime);
    if (m_nAnime != 0 && OutOfList(m_nAnime, nAnimes)) m_nAnime = 0;
    const int32_t nSounds = DatabaseCount(DatabaseList::Sound);
    if (m_nSound != 0 && OutOfList(m_nSound, nSounds)) m_nSound = 0;

    // A kind outside its table runs nothing; its parameters are kept as stored.
    const int32_t nParams = CommandParamCount(m_nFamily, m_nKind);
    if (nParams >= 0) {
        m_vParam.resize(static_cast<size_t>(nParams), 0);
        const int32_t k = FlowKind();
        if (m_nFamily == 0 && k == 12 && m_lpShot) {
            // A sword's type is held in the movement-kind byte of its shot record.
            const int32_t nTypes = DatabaseCount(DatabaseList::SwordType);
            if (OutOfList(m_lpShot->m_nMoveKind, nTypes)) m_lpShot->m_nMoveKind = 0;
            if (nTypes > 0 && g_RecordReferences.lpfnSwordTypeTime)
                m_nTime = static_cast<int16_t>(
                    std::clamp(g_RecordReferences.lpfnSwordTypeTime(m_lpShot->m_nMoveKind), 0, 9999));
        }
        for (const ParamReference& ref : kParamReferences) {
            if (ref.nKind != k || m_vParam.empty()) continue;
            if (OutOfList(m_vParam[0], DatabaseCount(ref.list))) m_vParam[0] = ref.nReplacement;
        }
    }
    for (cEdFlow& flow : m_vFlow) flow.Validate();
}

void cEdCommand::ValidateShot()
{
    const int32_t k = FlowKind();
    if (m_nFamily == 0 && m_lpShot) {
        cEdShot& shot = *m_lpShot;
        if (k == 11 || k == 12) {
            if (shot.m_nItemPalette == 1 || shot.m_nItemPalette == 2) {
                const int32_t nItems = PaletteCount(shot.m_nItemPalette, PaletteList::Item);
                if (nItems >= 0 && OutOfList(shot.m_nItemIndex, nItems)) {
                    shot.m_nItemPalette = 0;
                    shot.m_nItemIndex = 0;
                }
            }
        } else if (k >= 13 && k <= 15 && (shot.m_nSummonPalette == 0 || shot.m_nSummonPalette == 1)) {
            const PaletteList list = k == 13 ? PaletteList::Block : k == 14 ? PaletteList::Chara : PaletteList::Item;
            const int32_t nCount = PaletteCount(shot.m_nSummonPalette + 1, list);
            if (nCount >= 0 && OutOfList(shot.m_nSummonIndex, nCount)) shot.m_nSummonIndex = 1;
        }
    }
    if (k == 25 && m_vParam.size() >= 2 && (m_vParam[0] == 0 || m_vParam[0] == 1)) {
        const int32_t nItems = PaletteCount(m_vParam[0] + 1, PaletteList::Item);
        if (nItems >= 0 && OutOfList(m_vParam[1], nItems)) m_vParam[1] = 1;
    }
    for (cEdFlow& flow : m_vFlow) flow.ValidateShots();
}

void CopyCommandList(std::vector<cEdCommand>& target, const std::vector<cEdCommand>& source)
{
    if (&target == &source) return;
    const std::vector<cEdCommand> copy(source);
    CopyRecordVectorWith(target, copy, [] { return cEdCommand::Default(); });
}

bool ReadCommandVector(std::vector<cEdCommand>& list, FILE* fp)
{
    return LoadRecordVectorWith(fp, list, [] { return cEdCommand::Default(); });
}
