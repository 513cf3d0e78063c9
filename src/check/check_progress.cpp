// The progress bar's end: the bytes the copy counts for the files found, the
// position they give with the set's SizeInKB, and the SizeInKB that ends the
// bar at 100.
#include "check_copy_parts.h"
#include "install/copy_progress.h"
#include "setupinfo/setup_sizes.h"
#include "setupinfo/setup_vocabulary.h"

void PlanProgress(Checker* checker) {
    CheckPlan* plan = checker->plan;
    int copied = 0;
    for (const PlannedFile& file : plan->files) {
        if (file.diskette >= 0)
            copied = AddCopiedBytes(copied, file.size > kMaxInt32 ? kMaxInt32 : (int)file.size);
    }
    plan->copiedBytes = copied;
    plan->finalPosition = ProgressPercent(copied, (int)plan->expectedBytes);
    if (copied == 0)
        return;
    long long low = copied / kBytesPerKB;
    auto position = [copied](long long kb) {
        return kb <= 0 ? 0 : ProgressPercent(copied, ExpectedBytesOfSize(kb));
    };
    long long best = low;
    if (low == 0 || (position(low) != kProgressEnd &&
                     kProgressEnd - position(low + 1) < position(low) - kProgressEnd))
        best = low + 1;
    plan->sizeInKBFor100 = best;
    if (plan->sizeInKB.line > 0 && plan->expectedBytes == ExpectedBytesOfSize(best))
        return;
    AddFinding(checker, kWarning, plan->sizeInKB.line,
               Format("%s %s makes the progress bar end at %d%% for the %d bytes the "
                      "copy counts; %s=%lld ends it at %d%%", kSizeInKBKey,
                      plan->sizeInKB.line ? plan->sizeInKB.value.c_str() : "(none)",
                      plan->finalPosition, copied, kSizeInKBKey, best, position(best)));
}
