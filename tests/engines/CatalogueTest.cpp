// The catalogues of reasons and outcomes: every value has its words and its code, codes are told apart,
// and a remedy is there wherever the operator has something to do.
#include "engine/OrgCodeTable.h"
#include "engine/TransferRecord.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

template <class Row, size_t N>
void ExpectCodesApart(const Row (&rows)[N], const char* what)
{
    std::set<std::string> codes;
    for (const Row& row : rows)
        EXPECT_TRUE(row.code[0] == '\0' || codes.insert(row.code).second) << what << ": " << row.code << " twice";
}

TEST(Catalogue, EveryReasonHasItsWordsCodeAndRemedy)
{
    const struct {
        EntryReason reason;
        const char* code;
        bool remedy; // false: the run passes the entry over or finishes it itself, or the words say what to do
    } cases[] = {
        { EntryReason::kFolder, "folder", false },
        { EntryReason::kTemporary, "temporary", false },
        { EntryReason::kNameNotGbk, "name-not-gbk", true },
        { EntryReason::kNameTrailingDotOrBlank, "name-trailing-dot-or-blank", true },
        { EntryReason::kNameDevice, "name-device", true },
        { EntryReason::kNameCaseTwin, "name-case-twin", true },
        { EntryReason::kNoClientCode, "no-client-code", true },
        { EntryReason::kCodeNotMapped, "code-not-mapped", true },
        { EntryReason::kCodeRefused, "code-refused", true },
        { EntryReason::kPairToDelivery, "pair-to-delivery", true },
        { EntryReason::kTargetTooLong, "target-too-long", true },
        { EntryReason::kTargetIsFolder, "target-is-folder", true },
        { EntryReason::kArchiveTooLong, "archive-too-long", true },
        { EntryReason::kBackupName, "backup-name", true },
        { EntryReason::kUnfinishedClaim, "unfinished-claim", false },
        { EntryReason::kClaimOfOtherReceiveDirectory, "claim-of-other-receive-directory", false },
    };
    ASSERT_EQ(std::size(kReasons), std::size(cases) + 1) << "a row of this table for each reason but kNone";
    EXPECT_STREQ("", RowOf(kReasons, EntryReason::kNone).words);
    for (const auto& c : cases) {
        const ReasonRow& row = RowOf(kReasons, c.reason);
        EXPECT_STREQ(c.code, row.code);
        EXPECT_STRNE("", row.words) << c.code;
        EXPECT_EQ(c.remedy, row.remedy[0] != '\0') << c.code;
    }
    ExpectCodesApart(kReasons, "reasons");
    EntryDecision decision;
    decision.reason = EntryReason::kPairToDelivery;
    decision.clientCode = "C%p";
    decision.platformCode = "Q9";
    EXPECT_EQ("客户代码“C%p”对应的网商代码“Q9”的文件夹是本机构的交付文件夹或者它的Backup，导出到那里的文件会被导入取回，所以不导出",
              ReasonText(decision)) << "codes filled in once, as they are";
}

TEST(Catalogue, EveryOutcomeHasItsResultWordsCodeAndRemedy)
{
    const char* const moved = CTransferRecord::kMoved;
    const char* const left = CTransferRecord::kLeft;
    const char* const failed = CTransferRecord::kFailed;
    const struct {
        Outcome outcome;
        const char* result;
        const char* code;
        bool remedy; // false: the next run sees to it, or (kLeft) the reason's remedy holds
    } cases[] = {
        { Outcome::kLeft, left, "left", false },
        { Outcome::kTakenByAnotherRun, left, "taken-by-another-run", false },
        { Outcome::kSourceBeingWritten, left, "source-being-written", false },
        { Outcome::kSourceNowFolder, left, "source-now-folder", false },
        { Outcome::kUnfinishedClaim, left, "earlier-claim-waiting", false },
        { Outcome::kCopyFailed, failed, "copy-failed", true },
        { Outcome::kCopied, moved, "copied", false },
        { Outcome::kSourceDeleted, moved, "source-deleted", false },
        { Outcome::kSourceChanged, moved, "source-changed", false },
        { Outcome::kDeleteFailed, failed, "delete-failed", true },
        { Outcome::kClaimFailed, failed, "archive-blocked", true },
        { Outcome::kArchived, moved, "archived", false },
        { Outcome::kPlaceFailed, failed, "place-failed", true },
        { Outcome::kArchiveFailed, failed, "archive-failed", true },
        { Outcome::kClaimFinished, moved, "claim-finished", false },
        { Outcome::kArchivedOnly, moved, "archived-only", false },
    };
    ASSERT_EQ(std::size(kOutcomes), std::size(cases)) << "a row of this table for each outcome";
    for (const auto& c : cases) {
        const OutcomeRow& row = RowOf(kOutcomes, c.outcome);
        EXPECT_STREQ(c.result, row.result) << c.code;
        EXPECT_STREQ(c.code, row.code);
        EXPECT_STRNE("", row.words) << c.code;
        EXPECT_EQ(c.remedy, row.remedy[0] != '\0') << c.code;
    }
    ExpectCodesApart(kOutcomes, "outcomes");
    // The words of a failed copy carry the reason's, when it has one.
    EntryDecision decision;
    EXPECT_EQ("文件拷贝出错。源文件留在原处，下次再传送", OutcomeText(Outcome::kCopyFailed, decision));
    decision.reason = EntryReason::kTargetIsFolder;
    EXPECT_EQ("文件拷贝出错：目标位置是一个文件夹。源文件留在原处，下次再传送", OutcomeText(Outcome::kCopyFailed, decision));
    EXPECT_EQ("目标位置是一个文件夹", OutcomeText(Outcome::kLeft, decision));
    EXPECT_EQ("已复制，备份为 Backup\\d.txt.2", OutcomeText(Outcome::kArchived, decision, "d.txt.2"));
}

TEST(Catalogue, EveryRefusalHasItsCodeWordsAndRemedy)
{
    const Refusal refusals[] = {
        Refusal::kNoSourcePath, Refusal::kNoExportLocation, Refusal::kNoDestPath, Refusal::kUserOrgIDTooLong,
        Refusal::kUserOrgIDNotAFolder, Refusal::kNoUserOrgID, Refusal::kSendReceiveOverlap,
        Refusal::kSourceInPlatformFolder, Refusal::kSourceInDelivery, Refusal::kDestInDelivery,
        Refusal::kDestInPlatformFolder, Refusal::kImportFromSource, Refusal::kDeliveryInSource,
        Refusal::kDeliveryIsWorkFolder,
    };
    ASSERT_EQ(std::size(kRefusals), std::size(refusals) + 1) << "a row of this table for each refusal but kNone";
    for (const Refusal refusal : refusals) {
        const RefusalRow& row = RowOf(kRefusals, refusal);
        EXPECT_STRNE("", row.code);
        EXPECT_STRNE("", row.words) << row.code;
        EXPECT_STRNE("", row.remedy) << row.code;
    }
    ExpectCodesApart(kRefusals, "refusals");
    EXPECT_EQ("还没有设置源数据文件发送路径，请在“接口参数设置”中设置", RefusalText({ Refusal::kNoSourcePath }));
}

// The pairs the table leaves out, each for the first fault it has.
TEST(Catalogue, EveryFaultOfAPairHasItsWordsAndRemedy)
{
    const std::string client(COrgCodeTable::kClientCodeSize, 'c'), platform(COrgCodeTable::kPlatformCodeSize, 'p');
    const struct {
        settings::OrgMapping pair;
        PairFault fault;
    } cases[] = {
        { { "C1", "P1" }, PairFault::kNone },
        { { client, "" }, PairFault::kNoPlatformCode },
        { { client, "..\\x" }, PairFault::kClientCodeTooLong },
        { { "C1", platform }, PairFault::kPlatformCodeTooLong },
        { { "C1", "..\\x" }, PairFault::kPlatformCodeNotAFolder },
        { { "C1", "NUL" }, PairFault::kPlatformCodeNotAFolder },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.fault, COrgCodeTable::FaultOf(c.pair)) << c.pair.clientCode << "=" << c.pair.platformCode;
        const PairFaultRow& row = RowOf(kPairFaults, c.fault);
        EXPECT_EQ(c.fault != PairFault::kNone, row.words[0] != '\0' && row.remedy[0] != '\0') << row.words;
    }
}

} // namespace
