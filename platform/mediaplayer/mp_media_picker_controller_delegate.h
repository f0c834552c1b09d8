#pragma once

namespace platform {

class MPMediaItemCollection;
class MPMediaPickerController;

// Hears how a media picker ends; the delegate dismisses the picker itself.
class MPMediaPickerControllerDelegate {
public:
    virtual ~MPMediaPickerControllerDelegate() = default;

    virtual void mediaPicker(MPMediaPickerController& mediaPicker, const MPMediaItemCollection& mediaItemCollection) {
        (void)mediaPicker;
        (void)mediaItemCollection;
    }
    virtual void mediaPickerDidCancel(MPMediaPickerController& mediaPicker) { (void)mediaPicker; }
};

}  // namespace platform
