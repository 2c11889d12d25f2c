-- scenario-tool lsp in Neovim (0.7 and later) for the line texts
-- (*_linea.txt) and the train texts (*-.txt) of a scenario: each such file
-- is read and written in Windows-1252, as the program reads it, and served
-- by the language server. In init.lua:
--
--   dofile('/path/to/editors/neovim/scenario.lua').setup()
--   -- or, with the executable elsewhere than on the PATH:
--   dofile('/path/to/editors/neovim/scenario.lua').setup({ cmd = { '/opt/bin/scenario-tool', 'lsp' } })
local M = {}

M.schemi = { '*_linea.txt', '*-.txt' }

-- Starts (or reuses) the server for buffer `buf`; returns the client's id.
function M.avvia(buf, cmd)
  local cartella = vim.fn.fnamemodify(vim.api.nvim_buf_get_name(buf), ':p:h')
  local config = { name = 'scenario-tool', cmd = cmd, root_dir = cartella }
  if vim.lsp.start then
    return vim.lsp.start(config, { bufnr = buf })
  end
  -- Neovim 0.7: one client serves every such buffer.
  if not M.cliente or vim.lsp.client_is_stopped(M.cliente) then
    M.cliente = vim.lsp.start_client(config)
  end
  vim.lsp.buf_attach_client(buf, M.cliente)
  return M.cliente
end

function M.setup(opzioni)
  opzioni = opzioni or {}
  local cmd = opzioni.cmd or { 'scenario-tool', 'lsp' }
  local gruppo = vim.api.nvim_create_augroup('scenario_tool', { clear = true })
  -- The texts are Windows-1252: read them so, and so they are written back.
  local codifiche
  vim.api.nvim_create_autocmd('BufReadPre', {
    group = gruppo,
    pattern = M.schemi,
    callback = function()
      codifiche = vim.o.fileencodings
      vim.o.fileencodings = 'cp1252'
    end,
  })
  vim.api.nvim_create_autocmd('BufReadPost', {
    group = gruppo,
    pattern = M.schemi,
    callback = function(argomenti)
      if codifiche then
        vim.o.fileencodings = codifiche
        codifiche = nil
      end
      M.avvia(argomenti.buf, cmd)
    end,
  })
  vim.api.nvim_create_autocmd('BufNewFile', {
    group = gruppo,
    pattern = M.schemi,
    callback = function(argomenti)
      vim.bo[argomenti.buf].fileencoding = 'cp1252'
      M.avvia(argomenti.buf, cmd)
    end,
  })
end

return M
