#include "platform/fileops/operations.h"
#include "platform/fileops/trash.h"

#include <sys/stat.h>

FileFailure trashWithCompanion(const std::string& page, const std::string& companion,
                               FileProgress& progress)
{
    // The page first: it is small, so taking it back out of the trash costs little should its
    // folder fail to follow (the folder, large, is the part a cancel or a full disk stops).
    TrashedItem placed;
    if (const FileFailure failure = trashItem(page, progress, &placed))
        return failure;
    if (companion.empty())
        return {};
    const FileFailure failure = trashItem(companion, progress);
    struct stat st;
    // A page without its folder shows no images: it comes back beside the folder that stayed.
    // Should that fail, the page stays in the trash, whole and restorable.
    if (failure && lstat(companion.c_str(), &st) == 0)
        untrashItem(placed, page);
    return failure;
}
