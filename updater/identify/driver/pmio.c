/* pmio.sys: hands the caller a 4096-byte page of physical memory, for the
   SMBIOS and BIOS-area reads of device identification.

   Device "\\.\pmio", one control code (METHOD_NEITHER): input a 32-bit physical
   address, output the page that holds it. Only pages of the BIOS area and of
   the SMBIOS structure tables its entry points name are served (pmio_filter.c);
   only Administrators and SYSTEM may open the device. */

#include <ntifs.h>

#include "guarded_copy.h"
#include "pmio_control.h"
#include "pmio_filter.h"

#define PMIO_POOL_TAG 0x6F696D70u /* "pmio" */

static const WCHAR kDeviceName[] = L"\\Device\\pmio";
static const WCHAR kLinkName[] = L"\\DosDevices\\pmio";

/* The BIOS area as it was at load time: read-only memory, so the entry points
   the filter looks at do not change while the driver runs. */
static unsigned char *g_biosArea;

/* A caller's buffer must lie wholly in user space; kernel callers are trusted
   with their own pointers. */
static int caller_range_ok(KPROCESSOR_MODE mode, const void *p, ULONG length) {
    if (mode == KernelMode)
        return p != 0;
    ULONG_PTR start = (ULONG_PTR)p;
    ULONG_PTR end = start + length;
    return p != 0 && end >= start && end <= MmUserProbeAddress;
}

/* ---- Requests ----------------------------------------------------------- */

static NTSTATUS read_page(PIRP irp, PIO_STACK_LOCATION stack) {
    const ULONG inLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG outLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
    void *input = stack->Parameters.DeviceIoControl.Type3InputBuffer;
    void *output = irp->UserBuffer;
    if (inLength < sizeof(ULONG) || outLength < PMIO_PAGE_SIZE ||
        !caller_range_ok(irp->RequestorMode, input, sizeof(ULONG)) ||
        !caller_range_ok(irp->RequestorMode, output, PMIO_PAGE_SIZE))
        return STATUS_INVALID_PARAMETER;

    ULONG address = 0;
    if (!pmio_guarded_copy(&address, input, sizeof address))
        return STATUS_ACCESS_VIOLATION;
    if (!pmio_page_allowed(g_biosArea, PMIO_BIOS_AREA_SIZE, address))
        return STATUS_ACCESS_DENIED;

    PHYSICAL_ADDRESS base;
    base.QuadPart = address & ~(ULONG)(PMIO_PAGE_SIZE - 1);
    void *page = MmMapIoSpace(base, PMIO_PAGE_SIZE, MmNonCached);
    if (!page)
        return STATUS_INSUFFICIENT_RESOURCES;
    const int copied = pmio_guarded_copy(output, page, PMIO_PAGE_SIZE);
    MmUnmapIoSpace(page, PMIO_PAGE_SIZE);
    if (!copied)
        return STATUS_ACCESS_VIOLATION;
    irp->IoStatus.Information = PMIO_PAGE_SIZE;
    return STATUS_SUCCESS;
}

static NTSTATUS NTAPI dispatch(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status = STATUS_INVALID_DEVICE_REQUEST;
    irp->IoStatus.Information = 0;
    switch (stack->MajorFunction) {
    case IRP_MJ_CREATE:
    case IRP_MJ_CLEANUP:
    case IRP_MJ_CLOSE:
        status = STATUS_SUCCESS;
        break;
    case IRP_MJ_DEVICE_CONTROL:
        if (stack->Parameters.DeviceIoControl.IoControlCode == PMIO_IOCTL_READ_PAGE)
            status = read_page(irp, stack);
        break;
    default:
        break;
    }
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* ---- Load and unload ---------------------------------------------------- */

/* S-1-5-18 (SYSTEM) and S-1-5-32-544 (Administrators). */
static const struct {
    UCHAR revision, count, authority[6];
    ULONG sub[1];
} kSystemSid = {1, 1, {0, 0, 0, 0, 0, 5}, {18}};
static const struct {
    UCHAR revision, count, authority[6];
    ULONG sub[2];
} kAdminsSid = {1, 2, {0, 0, 0, 0, 0, 5}, {32, 544}};

/* Replaces the device's default DACL (which lets everyone open it) by one that
   grants access to SYSTEM and Administrators only. */
static NTSTATUS restrict_device(PDEVICE_OBJECT device) {
    ULONG aclWords[64]; /* room for the header and two ACEs */
    PACL acl = (PACL)aclWords;
    SECURITY_DESCRIPTOR sd;
    HANDLE handle;
    NTSTATUS status = RtlCreateAcl(acl, sizeof aclWords, ACL_REVISION);
    if (NT_SUCCESS(status))
        status = RtlAddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, (PSID)&kSystemSid);
    if (NT_SUCCESS(status))
        status = RtlAddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, (PSID)&kAdminsSid);
    if (NT_SUCCESS(status))
        status = RtlCreateSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    if (NT_SUCCESS(status))
        status = RtlSetDaclSecurityDescriptor(&sd, TRUE, acl, FALSE);
    if (NT_SUCCESS(status))
        status = ObOpenObjectByPointer(device, OBJ_KERNEL_HANDLE, NULL, WRITE_DAC, NULL,
                                       KernelMode, &handle);
    if (NT_SUCCESS(status)) {
        status = ZwSetSecurityObject(handle, DACL_SECURITY_INFORMATION, &sd);
        ZwClose(handle);
    }
    return status;
}

static void NTAPI unload(PDRIVER_OBJECT driver) {
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, kLinkName);
    IoDeleteSymbolicLink(&link);
    if (driver->DeviceObject)
        IoDeleteDevice(driver->DeviceObject);
    if (g_biosArea) {
        ExFreePoolWithTag(g_biosArea, PMIO_POOL_TAG);
        g_biosArea = NULL;
    }
}

static NTSTATUS capture_bios_area(void) {
    PHYSICAL_ADDRESS base;
    base.QuadPart = PMIO_BIOS_AREA_BASE;
    g_biosArea = ExAllocatePoolWithTag(NonPagedPool, PMIO_BIOS_AREA_SIZE, PMIO_POOL_TAG);
    if (!g_biosArea)
        return STATUS_INSUFFICIENT_RESOURCES;
    void *mapped = MmMapIoSpace(base, PMIO_BIOS_AREA_SIZE, MmNonCached);
    if (!mapped)
        return STATUS_INSUFFICIENT_RESOURCES;
    RtlCopyMemory(g_biosArea, mapped, PMIO_BIOS_AREA_SIZE);
    MmUnmapIoSpace(mapped, PMIO_BIOS_AREA_SIZE);
    return STATUS_SUCCESS;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    (void)registryPath;
    UNICODE_STRING name, link;
    PDEVICE_OBJECT device = NULL;
    RtlInitUnicodeString(&name, kDeviceName);
    RtlInitUnicodeString(&link, kLinkName);

    for (int i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i)
        driver->MajorFunction[i] = dispatch;
    driver->DriverUnload = unload;

    NTSTATUS status = capture_bios_area();
    if (NT_SUCCESS(status))
        status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN,
                                TRUE, &device);
    if (NT_SUCCESS(status))
        status = restrict_device(device);
    if (NT_SUCCESS(status))
        status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        /* No symbolic link exists yet on any failure path. */
        if (device)
            IoDeleteDevice(device);
        if (g_biosArea) {
            ExFreePoolWithTag(g_biosArea, PMIO_POOL_TAG);
            g_biosArea = NULL;
        }
        return status;
    }
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}
