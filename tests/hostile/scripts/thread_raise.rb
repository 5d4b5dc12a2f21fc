Thread.new { raise "in the thread" }
puts "started"
