// Starts Ahnemetri in the page: checks that the browser can run it, downloads the program with
// its progress shown, zooms the page out on a screen too small for the program's windows, and
// says so in Finnish when the program cannot start or has ended.
'use strict';

(() => {
    const script = document.currentScript;
    const program = script.dataset.program;
    // The program's own size, as the build made it: the download's progress counts the
    // program's bytes, whether the host compresses them on the way or not.
    const programBytes = Number(script.dataset.wasmBytes) || 0;
    const container = document.getElementById('screen');
    const message = document.getElementById('message');
    const messageText = document.getElementById('message-text');
    const progress = document.getElementById('progress');
    const restart = document.getElementById('restart');

    function say(text, { showProgress = false, restartLabel = null } = {}) {
        message.hidden = false;
        messageText.textContent = text;
        progress.hidden = !showProgress;
        restart.hidden = !restartLabel;
        if (restartLabel) {
            restart.textContent = restartLabel;
            restart.focus();
        }
    }

    function browserLacks() {
        if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function')
            return 'WebAssemblyä';
        const canvas = document.createElement('canvas');
        if (!(canvas.getContext('webgl2') || canvas.getContext('webgl')))
            return 'WebGL-grafiikkaa';
        return null;
    }

    // Downloads the program, showing how much of it has come. Without the program's size in
    // the page, the size the server gives counts, when it is the size of the program itself.
    async function download(file) {
        const response = await fetch(file);
        if (!response.ok)
            throw new Error(`${file}: ${response.status}`);
        const total = programBytes || (response.headers.get('Content-Encoding')
            ? 0 : Number(response.headers.get('Content-Length')) || 0);
        if (!response.body || !total) {
            progress.removeAttribute('value');
            return response.arrayBuffer();
        }
        const reader = response.body.getReader();
        const parts = [];
        let received = 0;
        for (;;) {
            const { done, value } = await reader.read();
            if (done)
                break;
            parts.push(value);
            received += value.length;
            progress.value = Math.min(100, Math.floor(100 * received / total));
            messageText.textContent = `Ladataan Ahnemetriä… ${progress.value} %`;
        }
        return new Blob(parts).arrayBuffer();
    }

    // A screen narrower or lower than the program's largest window (a phone) gets a wider page,
    // which its browser zooms out to fit: every window is then shown whole, all of it scaled
    // alike, and touches land where they are drawn. The program tells the size of its largest
    // window, frame and all, once its first window is up, and the fit follows the screen
    // whenever it changes (a phone turned, the on-screen keyboard opened or closed); the
    // program places its windows again in the page's new size. The screen's own size is the
    // visible part of the page at the zoom it has.
    const MARGIN = 8;
    const viewport = document.querySelector('meta[name=viewport]');
    const deviceWide = viewport.content;
    let largest = null;
    function fitScreen() {
        if (!largest)
            return;
        const zoom = window.visualViewport ? visualViewport.scale : 1;
        const width = (window.visualViewport ? visualViewport.width : innerWidth) * zoom;
        const height = (window.visualViewport ? visualViewport.height : innerHeight) * zoom;
        const needed = Math.ceil(Math.max(largest.width + 2 * MARGIN,
                                          (largest.height + 2 * MARGIN) * width / height));
        const content = needed > Math.floor(width)
            ? `width=${needed}, interactive-widget=resizes-content` : deviceWide;
        if (viewport.content !== content)
            viewport.content = content;
    }
    addEventListener('ahnemetri-largest-window', event => {
        largest = event.detail;
        fitScreen();
    });
    addEventListener('resize', fitScreen);
    window.visualViewport?.addEventListener('resize', fitScreen);

    // A newer build that takes over while this page still loads would give it files of
    // another build: the page starts again, from the newer build.
    let loaded = false;
    navigator.serviceWorker?.addEventListener('controllerchange', () => {
        if (!loaded)
            window.location.reload();
    });

    async function start() {
        const lacking = browserLacks();
        if (lacking) {
            say(`Ahnemetri ei toimi tässä selaimessa, koska se ei tue ${lacking}. `
                + 'Kokeile jotakin uudempaa selainta.');
            return;
        }
        say('Ladataan Ahnemetriä…', { showProgress: true });
        try {
            const module = WebAssembly.compile(await download(`${program}.wasm`));
            loaded = true;
            say('Käynnistetään…');
            const instance = await qtLoad({
                qt: {
                    module,
                    containerElements: [container],
                    entryFunction: window[`${program}_entry`],
                    // Screen readers hear the program from its first window on.
                    environment: { QT_WASM_ENABLE_ACCESSIBILITY: '1' },
                    onLoaded: () => { message.hidden = true; },
                    onExit: exitData => {
                        container.replaceChildren();
                        container.hidden = true;
                        if (exitData.crashed)
                            say('Ahnemetri pysähtyi virheeseen.',
                                { restartLabel: 'Käynnistä uudelleen' });
                        else
                            say('Ahnemetri on päättynyt. Kiitos testistä!',
                                { restartLabel: 'Käynnistä uudelleen' });
                    },
                },
            });
            if (instance)
                keepForOffline();
        } catch (error) {
            console.error(error);
            container.hidden = true;
            say('Ahnemetrin lataaminen epäonnistui. Tarkista verkkoyhteys ja yritä uudelleen.',
                { restartLabel: 'Yritä uudelleen' });
        }
    }

    // The service worker keeps the page's files for the next visit, taken from the browser's
    // HTTP cache once the program runs rather than downloaded a second time beside it. The
    // worker itself always comes from the host: it tells whether a new build is out.
    function keepForOffline() {
        navigator.serviceWorker?.register('sw.js', { updateViaCache: 'none' }).catch(error => {
            console.warn('Ahnemetri: no offline use', error);
        });
    }

    restart.addEventListener('click', () => window.location.reload());
    start();
})();
