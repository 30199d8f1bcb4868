#include "platform/files/file_progress.h"
#include "platform/files/operations.h"
#include "platform/files/trash.h"

#include <sys/stat.h>

FileFailure trashWithCompanion(const std::string& page, const std::string& companion,
                               FileProgress& progress, FileOperationReport::Entry* done)
{
    // The page first: it is small, so taking it back out of the trash costs little should its
    // folder fail to follow (the folder, large, is the part a cancel or a full disk stops).
    TrashedItem placed;
    if (const FileFailure failure = trashItem(page, progress, &placed))
        return failure;
    if (done)
        done->item = {page, placed.file, placed.info};
    if (companion.empty())
        return {};
    TrashedItem folderPlaced;
    const FileFailure failure = trashItem(companion, progress, &folderPlaced);
    struct stat st;
    // A page without its folder shows no images: it comes back beside the folder that stayed.
    // Should that fail, the page stays in the trash, whole and restorable.
    if (failure && lstat(companion.c_str(), &st) == 0)
        untrashItem(placed, page);
    if (!failure && done)
        done->companion = PlacedItem{companion, folderPlaced.file, folderPlaced.info};
    return failure;
}

FileFailure restoreWithCompanion(FileOperationReport::Entry& trashed, FileProgress& progress)
{
    // The folder first: it is the long part, which a cancel or a full disk stops while the page
    // is still in the trash with nothing to take back.
    if (trashed.companion) {
        const PlacedItem& folder = *trashed.companion;
        if (const FileFailure failure =
                untrashItem({folder.to, folder.trashInfo}, folder.from, &progress))
            return failure;
    }
    const PlacedItem& page = trashed.item;
    const FileFailure failure = untrashItem({page.to, page.trashInfo}, page.from, &progress);
    if (failure && trashed.companion) {
        // The folder goes back to the trash, so that both can be restored again later.
        FileProgress again(FileAction::Trash);
        TrashedItem placed;
        if (!trashItem(trashed.companion->from, again, &placed)) {
            trashed.companion->to = placed.file;
            trashed.companion->trashInfo = placed.info;
        }
    }
    return failure;
}
