#pragma once
// One command of a flow or of an item. Movement and launching commands hold their settings in a
// cEdMove or cEdShot that the command alone owns; a copy of a command copies them.
#include <boost/shared_ptr.hpp>
#include <cstdint>
#include <string>
#include <vector>

#include "data/EdFlow.h"
#include "data/EdMove.h"
#include "data/EdShot.h"
#include "data/FieldListRecord.h"

class cEdCommand : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdCommand)
    cEdCommand();
    cEdCommand(const cEdCommand& source);
    cEdCommand(cEdCommand&& source) noexcept;
    cEdCommand& operator=(const cEdCommand& source);
    ~cEdCommand() override;

    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;
    // Every field 0, no move or shot, the option flag 1.
    static cEdCommand Default();

    // Fits the parameters to the kind and resets database references beyond their lists.
    void Validate();
    // Resets palette references of the shot record and of "アイテムの取得" beyond their palettes.
    void ValidateShot();

    // A new record with its defaults in place of the one held (which loses this owner).
    void NewMove();
    void NewShot();
    static void ResetSharedPtr(boost::shared_ptr<cEdMove>& lpMove) { lpMove.reset(); }
    static void ResetSharedPtr(boost::shared_ptr<cEdShot>& lpShot) { lpShot.reset(); }

    // The kind in the flow numbering: item kinds 2..24 are flow kinds 17..39.
    int32_t FlowKind() const { return m_nFamily == 0 ? m_nKind : m_nKind + 15; }

    int8_t m_nFamily = 0;      // 0 flow command, otherwise item command
    int8_t m_nKind = 0;        // in CommandKindTable or ItemCommandKindTable
    int16_t m_nTime = 0;       // tenths of a second
    int16_t m_nTimeStep = 0;   // added per formation index of the running object
    int8_t m_bSameFrame = 0;   // the next command starts in the same frame
    int16_t m_nSound = 0;
    int8_t m_nOption = 1;
    int16_t m_nAnime = 0;      // animation played for the command, 0 none
    std::string m_strText;     // message, code or path
    boost::shared_ptr<cEdMove> m_lpMove;
    boost::shared_ptr<cEdShot> m_lpShot;
    std::vector<cEdFlow> m_vFlow;     // "フローの変更"
    std::vector<int32_t> m_vParam;

private:
    void ApplyMigrations();
};

void CopyCommandList(std::vector<cEdCommand>& target, const std::vector<cEdCommand>& source);
// u32 count, then count commands, each loaded over a default command.
bool ReadCommandVector(std::vector<cEdCommand>& list, FILE* fp);
