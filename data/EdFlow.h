#pragma once
// One flow: its trigger, conditions, key sequence and commands. A command may itself hold flows,
// so this header and EdCommand.h include each other (either may be included first).
#include <cstdint>
#include <string>
#include <vector>

#include "data/EdCondition.h"
#include "data/EdKeyList.h"
#include "data/FieldListRecord.h"

class cEdCommand;

class cEdFlow : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdFlow)
    cEdFlow();
    cEdFlow(const cEdFlow& source);
    cEdFlow(cEdFlow&& source) noexcept;
    cEdFlow& operator=(const cEdFlow& source);
    ~cEdFlow() override;

    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;
    // Every field 0 but the key tolerance, which is 3.
    static cEdFlow Default();

    // cEdCommand::Validate on every command; never fails.
    void Validate();
    // cEdCommand::ValidateShot on every command; called once the palettes are loaded.
    void ValidateShots();

    int8_t m_nGroup = 0;          // 0 none, 1..26 "A".."Z" for "フローの変更"
    int8_t m_nFlowId = 0;         // flows of one object sharing an ID exclude each other
    int8_t m_bDelete = 0;         // removed when its list is loaded (RemoveDeletedFlows)
    int8_t m_nCombine = 0;        // conditions: 0 all, 1 any
    int8_t m_bOnceTrue = 0;
    int8_t m_nTrigger = 0;        // TriggerTable number
    int8_t m_nKeyTolerance = 0;   // frames a key step may lie further back
    int8_t m_nKeyMode = 0;        // 0 the first matching frame only, otherwise every frame
    std::string m_strName;        // from 676; always empty after loading
    std::vector<cEdCondition> m_vCondition;
    std::vector<cEdKeyList> m_vKeyList;   // oldest step first
    std::vector<cEdCommand> m_vCommand;
};

void CopyFlowList(std::vector<cEdFlow>& target, const std::vector<cEdFlow>& source);
bool LoadFlowList(FILE* fp, std::vector<cEdFlow>& list);
// Erases every flow whose delete byte is set, keeping the order of the rest.
void RemoveDeletedFlows(std::vector<cEdFlow>& list);

#include "data/EdCommand.h"
